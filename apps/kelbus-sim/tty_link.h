#pragma once

#include <memory>
#include <string>

namespace kelcmd::simserver {

// A symbolic link with a stable name ("/tmp/ttyKEL0") to the slave of the pseudo-terminal, whose
// own name changes from run to run. Removed again when this object goes, unless by then it
// points elsewhere (another server took the name over).
class TtyLink {
  public:
    // Replaces a symbolic link already at `path` (one left behind by a server that was killed);
    // refuses any other kind of file there. Null on failure, with the reason in `error`.
    static std::unique_ptr<TtyLink> Create(const std::string& path, const std::string& target,
                                           std::string& error);

    ~TtyLink();
    TtyLink(const TtyLink&) = delete;
    TtyLink& operator=(const TtyLink&) = delete;

    const std::string& Path() const { return path_; }

  private:
    TtyLink(std::string path, std::string target)
        : path_(std::move(path)), target_(std::move(target)) {}

    std::string path_;
    std::string target_;
};

}  // namespace kelcmd::simserver
