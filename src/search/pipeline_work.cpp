// The workers of a pipelined walk: they take the earliest work in the walk, list folders,
// examine files, and publish what they found under the pipeline's lock, taking it once per piece
// of work.
#include "search/batch_reads.h"
#include "search/file_access.h"
#include "search/file_examination.h"
#include "search/file_system_kind.h"
#include "search/folder_listing.h"
#include "search/pipeline.h"
#include "search/search_statistics.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <sys/uio.h>

namespace scanvale::Search {

// A batch of files under way on a worker, and whether the files it has not claimed yet are
// open to idle workers (WorkHandout::Track). They are opened to them once the worker meets a
// long file, behind which the rest of the batch would wait: a folder of forty 25 MB files,
// handed out as batches of 32 and 8, kept one worker reading four times as long as the other.
// A batch of small files is not opened: its owner is through it in a few hundred
// microseconds, and a worker that took its later half while the owner found a match in its
// first file examined files for nothing (with every batch open, two workers searching corpus
// (a) for a phrase found in every folder's first file examined 3,018 to 3,714 files for its
// 3,000 folders; opened only behind long files, 3,000 in each of five runs).
struct Pipeline::OpenBatch {
    const Task& task;
    BatchClaims* claims; // null for a batch of one file
    bool open = false;
};

// A worker's examination of one file: abandoned once the window has left or an earlier file
// of the folder matched. Reads first without waiting for the disk (but in a folder whose file
// system lies in memory, where no read waits); a read that must wait (or may, on a file system
// that cannot tell, such as a network share or FUSE) lets another thread take up work
// meanwhile.
// Meeting a long file, it opens the rest of the worker's batch to idle workers (OpenBatch).
class Pipeline::WorkerSteps final : public ExaminationSteps {
public:
    WorkerSteps(Pipeline& pipeline, const PipelineFolder& folder, size_t file, OpenBatch& batch)
        : pipeline_(pipeline), folder_(folder), file_(file), inMemory_(folder.inMemory),
          batch_(batch) {}

    void LongFile() override {
        if (batch_.claims == nullptr || batch_.open || batch_.claims->Unclaimed() == 0) {
            return;
        }
        batch_.open = true;
        const Held held(pipeline_);
        pipeline_.handout_.Track(batch_.task, *batch_.claims);
        pipeline_.WakeWorker(); // woken once the lock is let go
    }

    bool GoOn(bool) override {
        return !pipeline_.left_.load(std::memory_order_relaxed) &&
               folder_.firstMatch.load(std::memory_order_relaxed) >= file_;
    }

    size_t Read(int file, uint64_t offset, char* destination, size_t n) override {
        if (inMemory_) {
            return ReadBlock(file, offset, destination, n);
        }
        size_t done = 0;
        while (done < n) {
            iovec piece{destination + done, n - done};
            const ssize_t got =
                ::preadv2(file, &piece, 1, static_cast<off_t>(offset + done), RWF_NOWAIT);
            if (got > 0) {
                done += static_cast<size_t>(got);
                continue;
            }
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0 && errno == EOPNOTSUPP && FileSystemKind::InMemory(file)) {
                inMemory_ = true;
                Statistics.bytesRead.fetch_add(done, std::memory_order_relaxed);
                return done + ReadBlock(file, offset + done, destination + done, n - done);
            }
            if (got == 0 || (errno != EAGAIN && errno != EOPNOTSUPP)) {
                Statistics.bytesRead.fetch_add(done, std::memory_order_relaxed);
                return done; // the end of the file, or an error, which counts as the end
            }
            break; // the pages are not in memory, or the file system cannot tell without waiting
        }
        Statistics.bytesRead.fetch_add(done, std::memory_order_relaxed);
        if (done == n) {
            return done;
        }
        waited_ = true;
        pipeline_.BeginDiskWait();
        done += ReadBlock(file, offset + done, destination + done, n - done);
        pipeline_.EndDiskWait();
        return done;
    }

    // A long file whose reads have not waited for the disk is read a span at a time; one
    // that is coming from the disk block by block, as the readers waiting for it share the
    // pool's few spans with none.
    SpanBuffers::Lease BorrowSpan(size_t carryCapacity) override {
        return waited_ ? SpanBuffers::Lease() : pipeline_.spans_.Borrow(carryCapacity);
    }

    bool Waited() const { return waited_; }

private:
    Pipeline& pipeline_;
    const PipelineFolder& folder_;
    size_t file_;
    bool inMemory_;       // reads never wait: no need to ask first
    bool waited_ = false; // a read waited for the disk
    OpenBatch& batch_;
};

// A worker's io_uring ring (BatchReads), made for its first batch of more than one file and
// freed when the worker ends. Whether it is used is decided once for the worker: when the
// process cannot use io_uring, or this worker's ring cannot be set up, every batch takes the
// plain path.
class Pipeline::WorkerRing {
public:
    WorkerRing(bool wanted, size_t blockSize) : wanted_(wanted), blockSize_(blockSize) {}

    // The ring for a batch of `count` files, or null for the plain path. A single file gains
    // little from the ring, and files go one at a time only while reads wait for the disk,
    // when the plain path's read is the one that lets another thread take up work.
    BatchReads* For(size_t count) {
        if (count < 2 || !wanted_) {
            return nullptr;
        }
        if (!reads_) {
            reads_.emplace(WorkHandout::FilesPerTask, blockSize_);
        }
        if (!reads_->Valid()) {
            wanted_ = false;
            return nullptr;
        }
        return &*reads_;
    }

    // How many files the ring reads at first in a batch, the runs doubling from there. Files
    // read and then not examined (a match before them) are the price of a long run: reading
    // the whole batch first made a phrase found in nearly every folder's first file ("kernel"
    // on corpus (a)) take 4.8 times the plain path's time, while one run of 32 gave the most
    // on a phrase found nowhere (0.92 of the plain time; runs from 1 file: 0.99, and 1.03 on
    // "kernel"). So the first run halves after a batch that read files it did not examine,
    // and doubles after one that went through all its files without a match; a batch that
    // ended in a match without waste leaves it as it is, a phrase that is found often being
    // the one that wastes.
    size_t FirstRun() const { return firstRun_; }
    void Ran(bool wasted, bool matched) {
        if (wasted) {
            firstRun_ = std::max<size_t>(1, firstRun_ / 2);
        } else if (!matched) {
            firstRun_ = std::min<size_t>(WorkHandout::FilesPerTask, firstRun_ * 2);
        }
    }

private:
    size_t firstRun_ = 1;
    bool wanted_;
    size_t blockSize_;
    std::optional<BatchReads> reads_;
};

void Pipeline::Work() {
    const Phrase phrase(query_.phrase, query_.comparison); // its scratch space is the worker's own
    BlockBuffer buffer(blockSize_, phrase.CarryCapacity());
    WorkerRing ring(batchedReads_ && BatchReads::Available(), blockSize_);
    Held held(*this);
    while (!left_) {
        Task task;
        // The files of a batch of more than one file are claimed one at a time (OpenBatch).
        std::optional<BatchClaims> claims;
        if (Active() > Allowed() || !(handout_.Next(task, Batch()) || handout_.Steal(task))) {
            if (held.HasDeferred()) {
                held.Release();
                held.Acquire();
                continue;
            }
            ++parked_;
            held.Wait(workReady_);
            --parked_;
            continue;
        }
        if (!task.list && task.count > 1) {
            claims.emplace(task.count);
        }
        WakeWorker(); // more may be ready for another worker
        held.Release();
        if (task.list) {
            ListFolder(task, held);
        } else {
            ExamineFiles(task, claims ? &*claims : nullptr, phrase, buffer, ring, held);
        }
        // The task's folder is let go of with the lock held (see WalkPosition::PopFrame); its
        // descriptor and names once the lock is let go.
        Retire(retired_, std::move(task.descriptor));
        Retire(retired_, std::move(task.files));
    }
    --threads_;
    held.Release();
}

void Pipeline::ListFolder(const Task& task, Held& held) {
    const std::shared_ptr<PipelineFolder>& folder = task.folder;
    PipelineFolder& f = *folder;
    FileDescriptor descriptor = FileAccess::OpenFolder(f.path);
    if (f.place->Up() == nullptr) {
        // The listed folder is shown only when it is a folder. One that cannot be opened
        // (closed to this user, say) still is, and is then skipped as unreadable.
        struct stat st {};
        const bool folderExists =
            descriptor.Valid() || (::stat(f.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
        held.Acquire();
        if (!folderExists) {
            Publish(folder, PipelineFolder::Listing::Missing);
            return;
        }
        f.exists = true;
        Advance();
        held.Release();
    }
    auto state = PipelineFolder::Listing::Unreadable;
    struct stat st {};
    if (descriptor.Valid() && ::fstat(descriptor.Get(), &st) == 0) {
        // The fields written here are read by others only once the listing is published.
        f.id = {st.st_dev, st.st_ino};
        if (f.place->Up() == nullptr || f.id.first != f.place->UpId().first) {
            f.inMemory = FileSystemKind::InMemory(descriptor.Get());
        }
        if (static_cast<uint64_t>(st.st_size) > LargeFolderBytes) {
            held.Acquire();
            if (!f.entered) {
                // A very large folder is listed only once the window has reached it, so that
                // no two of them are held at once.
                f.listing = PipelineFolder::Listing::Waiting;
                f.deferred = true;
                return;
            }
            held.Release();
        }
        DirectoryListing files;
        if (f.place->OnDescent(f.id) ||
            (f.place->Up() != nullptr &&
             FileSystemKind::EntersTheKernel(descriptor.Get(), f.id.first,
                                             f.place->UpId().first))) {
            state = PipelineFolder::Listing::NotEntered;
        } else if (Search::ListFolder(descriptor.Get(), files,
                                      query_.includeSubfolders ? &f.subfolders : nullptr,
                                      [this] { return !left_.load(std::memory_order_relaxed); })) {
            state = PipelineFolder::Listing::Listed;
            if (files.Size() > 0) {
                f.results.assign(files.Size(), PipelineFolder::Unknown);
                f.files = std::make_shared<const DirectoryListing>(std::move(files));
                f.descriptor = std::make_shared<const FileDescriptor>(std::move(descriptor));
            }
        }
    }
    descriptor = FileDescriptor(); // closed unless its files are to be examined, not under the lock
    held.Acquire();
    Publish(folder, state);
}

void Pipeline::Publish(const std::shared_ptr<PipelineFolder>& folder,
                       PipelineFolder::Listing state) {
    if (left_) {
        return;
    }
    PipelineFolder& f = *folder;
    f.listing = state;
    if (state == PipelineFolder::Listing::Listed) {
        if (f.FileCount() > 0) {
            handout_.Queue(folder, WalkOrder::Kind::Files);
        }
        if (f.subfolders.Size() > 0) {
            handout_.Queue(folder, WalkOrder::Kind::Subfolders);
        }
        handout_.Listed(f);
    }
    Advance();
}

void Pipeline::ExamineFiles(const Task& task, BatchClaims* claims, const Phrase& phrase,
                            BlockBuffer& buffer, WorkerRing& ring, Held& held) {
    PipelineFolder& folder = *task.folder;
    uint8_t results[WorkHandout::FilesPerTask];
    size_t examined = 0;
    OpenBatch open{task, claims};
    // The batch's first file is this worker's from the start; without claims, all of them.
    size_t claimed = claims != nullptr ? 1 : task.count;
    bool waited = false;
    // The batch's files are opened and the small ones read together, a run of them at a
    // time; each is then examined in order exactly as on the plain path, which takes every
    // file the ring did not finish. The runs double within the batch from the worker's first
    // run (WorkerRing::FirstRun).
    BatchReads* batch = ring.For(task.count);
    size_t run = 0;     // the files of the batch from `runFrom` on that the ring has read
    size_t runFrom = 0; // where the last run starts in the batch
    size_t nextRun = ring.FirstRun();
    while (examined < task.count) {
        const size_t file = task.file + examined;
        if (left_.load(std::memory_order_relaxed) ||
            folder.firstMatch.load(std::memory_order_relaxed) < file) {
            break; // not wanted any more
        }
        const bool runDone = batch != nullptr && examined == runFrom + run;
        // The files of a run are claimed before the ring opens them, others one at a time.
        const size_t wanted = runDone ? std::min(nextRun, task.count - examined) : 1;
        if (claimed < examined + wanted) {
            claimed += claims->Claim(examined + wanted - claimed);
            if (claimed == examined) {
                break; // the rest was taken by another worker
            }
        }
        if (runDone) {
            runFrom = examined;
            run = claimed - examined;
            nextRun *= 2;
            batch->Read(task.descriptor->Get(), *task.files, file, run);
        }
        const size_t inRun = examined - runFrom;
        WorkerSteps steps(*this, folder, file, open);
        bool found = false;
        switch (batch != nullptr ? batch->Result(inRun) : BatchReads::Outcome::Plain) {
        case BatchReads::Outcome::Skipped:
            break;
        case BatchReads::Outcome::Read: {
            // Counted as the plain path counts a file it examines; a file read in the batch
            // but dropped for an earlier match is not examined and not counted.
            const std::string_view contents = batch->Contents(inRun);
            Statistics.filesExamined.fetch_add(1, std::memory_order_relaxed);
            Statistics.bytesRead.fetch_add(contents.size(), std::memory_order_relaxed);
            Statistics.filesBatched.fetch_add(1, std::memory_order_relaxed);
            found = Search::ExamineContents(contents, contents.size() == buffer.BlockSize(), phrase,
                                            buffer, steps);
            break;
        }
        case BatchReads::Outcome::Open:
            found = Search::ExamineOpenFile(batch->TakeFile(inRun), batch->Status(inRun), phrase,
                                            buffer, steps);
            break;
        case BatchReads::Outcome::Plain:
            found = Search::ExamineFile(task.descriptor->Get(), task.files->Name(file), phrase,
                                        buffer, steps);
            break;
        }
        waited = waited || steps.Waited();
        results[examined++] = found ? PipelineFolder::Match : PipelineFolder::NoMatch;
        if (found) {
            // Told at once, so that other workers drop the folder's later files now; the
            // result itself is published with the rest of the batch.
            size_t known = folder.firstMatch.load(std::memory_order_relaxed);
            while (file < known && !folder.firstMatch.compare_exchange_weak(known, file)) {
            }
            break;
        }
    }
    if (batch != nullptr) {
        batch->CloseUntaken(); // the files after a match, or after the window left
        ring.Ran(runFrom + run > examined,
                 examined > 0 && results[examined - 1] == PipelineFolder::Match);
    }
    held.Acquire();
    if (open.open) {
        handout_.Untrack(*claims);
    }
    filesSinceDiskWait_ = waited ? 0 : filesSinceDiskWait_ + examined;
    if (left_ || folder.filesDone) {
        return;
    }
    std::copy_n(results, examined, folder.results.begin() + static_cast<ptrdiff_t>(task.file));
    Advance();
}

void Pipeline::BeginDiskWait() {
    const Held held(*this);
    ++diskWaits_;
    filesSinceDiskWait_ = 0;
    if (handout_.Empty() || left_) {
        return;
    }
    if (parked_ > 0) {
        WakeWorker();
    } else if (threads_ < workers_ + waitingReaders_) {
        Spawn();
    }
}

void Pipeline::EndDiskWait() {
    const Held held(*this);
    --diskWaits_;
}

} // namespace scanvale::Search
