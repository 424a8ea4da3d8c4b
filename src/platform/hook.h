#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>

namespace kelcmd {

// One place where a layer above installs an implementation that a layer below calls: a prompt,
// the command dialogs, the clipboard, a kind of device.
//
// The hook shares ownership of what is installed. A caller asks for a handle, calls through it
// and lets it go; while any handle of an implementation is alive, installing another one (or
// none) waits. So when Install returns, nothing runs inside the implementation it replaced, and
// its owner may destroy it, or unload the library that holds its code. A thread must therefore
// not replace a hook while it still holds a handle of that hook. Calls into the implementation
// run outside the hook's lock, so they may take as long as they need and may use other hooks.
template <class Interface>
class Hook {
  public:
    Hook() = default;
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

    // The installed implementation, kept installed while the handle lives; null when none is.
    std::shared_ptr<Interface> Current() const {
        std::lock_guard<std::mutex> guard(lock_);
        if (installed_ == nullptr || installed_->implementation == nullptr) return nullptr;
        ++installed_->inFlight;
        auto lease = std::make_shared<Lease>(*this, installed_);
        return std::shared_ptr<Interface>(std::move(lease), installed_->implementation.get());
    }

    // Installs `implementation` (null uninstalls) and hands back the previous one once no handle
    // of it is left.
    std::shared_ptr<Interface> Install(std::shared_ptr<Interface> implementation) {
        std::unique_lock<std::mutex> guard(lock_);
        std::shared_ptr<Installed> previous = std::move(installed_);
        if (implementation != nullptr) {
            installed_ = std::make_shared<Installed>(std::move(implementation));
        }
        if (previous == nullptr) return nullptr;
        idle_.wait(guard, [&previous] { return previous->inFlight == 0; });
        // Taken out under the lock: the last lease may still hold the record, never the object.
        return std::move(previous->implementation);
    }

    bool IsInstalled() const {
        std::lock_guard<std::mutex> guard(lock_);
        return installed_ != nullptr && installed_->implementation != nullptr;
    }

  private:
    struct Installed {
        explicit Installed(std::shared_ptr<Interface> object) : implementation(std::move(object)) {}
        std::shared_ptr<Interface> implementation;
        size_t inFlight = 0;
    };

    // Lives as long as the handles of one Current() call; its end lets a waiting Install go on.
    class Lease {
      public:
        Lease(const Hook& hook, std::shared_ptr<Installed> installed)
            : hook_(hook), installed_(std::move(installed)) {}
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease() {
            std::lock_guard<std::mutex> guard(hook_.lock_);
            --installed_->inFlight;
            hook_.idle_.notify_all();
        }

      private:
        const Hook& hook_;
        std::shared_ptr<Installed> installed_;
    };

    mutable std::mutex lock_;
    mutable std::condition_variable idle_;
    std::shared_ptr<Installed> installed_;
};

// A shared pointer that does not own `object`: for an implementation whose owner installs it for
// a scope and takes it out again before it ends (a test's scripted prompt, a program's own).
template <class Interface>
std::shared_ptr<Interface> Unowned(Interface& object) {
    return std::shared_ptr<Interface>(std::shared_ptr<Interface>(), &object);
}

}  // namespace kelcmd
