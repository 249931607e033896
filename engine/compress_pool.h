#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <wx/string.h>

#include "store/file_io.h"
#include "store/file_time.h"

// Writes files ahead of the copy thread, on as many worker threads as the machine has cores:
// each job makes one file (a compressed or decompressed copy) in a temporary file beside its
// target and gives it its time. The copy thread takes the finished files in the order it
// queued them and renames each into place itself, so everything the user and the log see
// stays in plan order; a file it does not take is removed. At most twice as many jobs as
// workers are in flight, so memory stays flat however many files a folder holds.
//
// Made, fed and destroyed on one thread; the write functions run on the workers (or on that
// thread, for a job no worker has started when it is taken).
class CompressPool {
public:
    // Writes the temporary file's content; false fails the job.
    using Write = std::function<bool(AtomicFile& temporary)>;

    // workers 0: one per core, each started when work comes and no worker is free. When no
    // thread can be started, the jobs run when they are taken.
    explicit CompressPool(unsigned workers = 0);
    // Drops every job (Clear) and ends the workers.
    ~CompressPool();
    CompressPool(const CompressPool&) = delete;
    CompressPool& operator=(const CompressPool&) = delete;

    // True while no job may be queued: the oldest must be taken or dropped first.
    bool Full() const;
    // Queues the job of tag (one at a time per tag): write source's new form into target; a
    // target below the directory `below` is made from there (see AtomicFile), so a path that
    // leads elsewhere by the time the job runs is not followed.
    void Submit(const void* tag, const wxString& source, const wxString& target, FileTime time,
                Write write, std::shared_ptr<const OpenDirectory> below = nullptr);
    // When the oldest job is tag's: waits for it and hands over its file when the job wrote
    // source into target and succeeded. Null otherwise (a failed or unwanted file is removed;
    // jobs of other tags stay).
    std::unique_ptr<AtomicFile> Take(const void* tag, const wxString& source,
                                     const wxString& target);
    // Drops tag's job when it is the oldest (waiting while a worker runs it) and removes its
    // file.
    void Drop(const void* tag);
    // Drops every job: those not started never run; those running are waited for.
    void Clear();

    // What a job does, on the calling thread: the temporary file beside target, written and
    // given its time; null (errno telling why, nothing left behind) on failure.
    static std::unique_ptr<AtomicFile> WriteNow(
        const wxString& target, FileTime time, const Write& write,
        const std::shared_ptr<const OpenDirectory>& below = nullptr);

private:
    struct Job;
    void Work();
    static void Run(Job& job);
    // Waits until the oldest job has run (running it here when no worker has started it).
    void Finish(std::unique_lock<std::mutex>& lock);

    unsigned maxWorkers_ = 1;
    std::vector<std::thread> workers_;
    unsigned idle_ = 0;  // started workers waiting for a job
    mutable std::mutex mutex_;
    std::condition_variable queued_;    // a job was queued, or the workers are to end
    std::condition_variable finished_;  // a job has run
    std::deque<std::unique_ptr<Job>> jobs_;  // in order of submission, until taken or dropped
    bool ending_ = false;
};
