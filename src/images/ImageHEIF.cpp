#include "images/ImageHEIF.h"

#include <atomic>
#include <mutex>

namespace {
std::atomic<int> gAbandoned{0};

// The decoder is looked for once, when the first such picture is read.
std::mutex gDecoderMutex;
ImageHEIF::DecoderSource gSource = nullptr; // guarded by gDecoderMutex
HeifDecodeFunction gDecoder = nullptr;      // guarded by gDecoderMutex
bool gLookedFor = false;                    // guarded by gDecoderMutex
} // namespace

int ImageHEIF::AbandonedWorkers() {
    return gAbandoned.load();
}

void ImageHEIF::SetDecoderSource(DecoderSource source) {
    const std::lock_guard lock(gDecoderMutex);
    gSource = source;
    gDecoder = nullptr;
    gLookedFor = false;
}

HeifDecodeFunction ImageHEIF::Decoder() {
    const std::lock_guard lock(gDecoderMutex);
    if (!gLookedFor && gSource != nullptr) {
        gDecoder = gSource();
        gLookedFor = true;
    }
    return gDecoder;
}

#ifdef KINETORA_NO_HEIF

// Built without the HEIF library: every picture reads as not valid, and no worker runs.
ImageHEIF::ImageHEIF(const std::string&, int, bool, int) {}
ImageHEIF::ImageHEIF(std::FILE*, int, bool, int) {}

int ImageHEIF::EndProcess(int status) {
    return status;
}

#else

#include "core/StopRequest.h"
#include "images/HeifPicture.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// How often a waiting caller asks whether the run ends.
constexpr auto kWaitStep = std::chrono::milliseconds(4);

// Shared by the caller and the worker; the last one to let go frees it.
struct Job {
    std::vector<std::uint8_t> bytes;
    int divisor = 1;
    bool swap = false;
    int sceneWidth = 0;
    HeifDecodeFunction decode = nullptr;
    HeifPicture picture;
    bool made = false;

    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;      // guarded by mutex
    bool abandoned = false; // guarded by mutex
};

// Takes the thread's own reference, so that it lets go of the job before it says it is done.
void Work(std::shared_ptr<Job> job) {
    HeifRequest request;
    request.bytes = job->bytes.data();
    request.size = job->bytes.size();
    request.divisor = job->divisor;
    request.swap = job->swap;
    request.sceneWidth = job->sceneWidth;
    request.stopped = StopRequest::Raised;
    job->made = job->decode(&request, &job->picture);
    bool abandoned = false;
    {
        const std::lock_guard lock(job->mutex);
        job->done = true;
        abandoned = job->abandoned;
        job->finished.notify_one();
    }
    job.reset(); // a caller that gave up leaves the picture to be freed here
    // Last: once no abandoned worker is counted, the process may run its exit handlers.
    if (abandoned)
        --gAbandoned;
}

} // namespace

int ImageHEIF::EndProcess(int status) {
    if (gAbandoned.load() == 0)
        return status;
    std::fflush(nullptr);
    std::quick_exit(status);
}

ImageHEIF::ImageHEIF(const std::string& path, int divisor, bool swap, int sceneWidth) {
    const FileHandle file = OpenForReading(path);
    if (file)
        Decode(file.get(), divisor, swap, sceneWidth);
}

ImageHEIF::ImageHEIF(std::FILE* file, int divisor, bool swap, int sceneWidth) {
    if (file)
        Decode(file, divisor, swap, sceneWidth);
}

void ImageHEIF::Decode(std::FILE* file, int divisor, bool swap, int sceneWidth) {
    m_bSwap = swap;
    const HeifDecodeFunction decode = Decoder();
    if (decode == nullptr)
        return;
    std::shared_ptr<Job> job;
    std::thread worker;
    try {
        job = std::make_shared<Job>();
        if (!ReadRest(file, MaxFileBytes, job->bytes))
            return;
        job->divisor = divisor;
        job->swap = swap;
        job->sceneWidth = sceneWidth;
        job->decode = decode;
        worker = std::thread(Work, job);
    } catch (const std::bad_alloc&) {
        return;
    } catch (const std::system_error&) {
        return;
    }
    for (;;) {
        {
            std::unique_lock lock(job->mutex);
            if (job->finished.wait_for(lock, kWaitStep, [&] { return job->done; }))
                break;
        }
        if (StopRequest::Poll()) {
            std::lock_guard lock(job->mutex);
            if (!job->done) {
                job->abandoned = true;
                ++gAbandoned;
                worker.detach();
                return;
            }
            break;
        }
    }
    worker.join();
    if (job->made) {
        TakeBlock(job->picture);
        m_bValid = true;
    }
}

#endif // KINETORA_NO_HEIF
