#include "LayoutThreads.h"

#include <atomic>
#include <cerrno>
#include <list>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace {

std::atomic<bool> ending{false};

/// The threads made so far: those whose run has ended are joined at the next start, the rest as the process ends.
class Threads
{
public:
    Threads() = default;
    Threads(const Threads&) = delete;
    Threads& operator=(const Threads&) = delete;

    ~Threads()
    {
        ending = true;
        std::list<Entry> left;
        {
            const std::lock_guard<std::mutex> locked(mutex);
            left.swap(entries);
        }
        for (Entry& entry : left)
            entry.thread.join();
    }

    int start(std::function<void()> task)
    {
        const std::lock_guard<std::mutex> locked(mutex);
        joinEnded();
        try {
            entries.emplace_back();
            Entry& entry = entries.back();
            // The thread marks its end under the lock, so not before it is recorded here.
            entry.thread = std::thread([this, &entry, task = std::move(task)]() mutable {
                task();
                task = nullptr;
                const std::lock_guard<std::mutex> marked(mutex);
                entry.ended = true;
            });
        } catch (const std::system_error& error) {
            entries.pop_back();
            return error.code().value();
        } catch (const std::bad_alloc&) {
            if (!entries.empty() && !entries.back().thread.joinable())
                entries.pop_back();
            return ENOMEM;
        }
        return 0;
    }

private:
    struct Entry
    {
        std::thread thread;
        bool ended = false;
    };

    void joinEnded()
    {
        for (auto it = entries.begin(); it != entries.end();) {
            if (it->ended) {
                it->thread.join();
                it = entries.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::mutex mutex;
    std::list<Entry> entries;
};

Threads& threads()
{
    static Threads made;
    return made;
}

} // namespace

int LayoutThreads::start(std::function<void()> task)
{
    return threads().start(std::move(task));
}

bool LayoutThreads::closing()
{
    return ending.load();
}
