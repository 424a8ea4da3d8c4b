#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kelcmd::app {

// A file written at the end of a long step, opened at its start so that a path that cannot be
// written fails before anything happens. Its content is replaced only by Write; a file that the
// open created is removed again when nothing was written.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False, after printing why, when the path cannot be created or written, or is no regular
    // file.
    bool Open(const std::string& path);
    // Replaces the file's content with `bytes` and closes it; false after printing why.
    bool Write(std::span<const uint8_t> bytes);
    const std::string& path() const { return path_; }

  private:
    void Close();

    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool written_ = false;
};

}  // namespace kelcmd::app
