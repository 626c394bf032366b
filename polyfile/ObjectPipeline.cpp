#include "ObjectPipeline.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "OutputFile.h"
#include "Parallel.h"

namespace {

// Objects are formatted in chunks of about this many records, which the two threads take in
// turn as they become free.
constexpr size_t chunkRecords = 4096;

class Batch {
 public:
  std::vector<LoadedObject> objects;

  bool formatted() const { return chunkCount_ > 0; }
  size_t chunks() const { return chunkCount_; }

  void clear() {
    objects.clear();
    chunkCount_ = 0;
  }

  // Cuts the objects into chunks, whose text format() makes in `texts`, one string each; an
  // object in slices is a chunk for each slice.
  void cut(std::vector<std::string>* texts, const ObjectSlices* slices) {
    texts_ = texts;
    chunkCount_ = 0;
    size_t records = 0;
    size_t first = 0;
    auto add = [this](size_t from, size_t to, uint32_t slice, uint32_t count) {
      if (chunkCount_ == chunks_.size()) chunks_.emplace_back();
      Chunk& chunk = chunks_[chunkCount_++];
      chunk.first = from;
      chunk.last = to;
      chunk.slice = slice;
      chunk.slices = count;
      chunk.failure = nullptr;
    };
    for (size_t i = 0; i < objects.size(); ++i) {
      const uint32_t count = slices ? std::max<uint32_t>(1, (*slices)(objects[i])) : 1;
      if (count > 1) {
        if (first < i) add(first, i, 0, 1);
        for (uint32_t k = 0; k < count; ++k) add(i, i + 1, k, count);
        first = i + 1;
        records = 0;
        continue;
      }
      records += objects[i].records;
      if (records >= chunkRecords || i + 1 == objects.size()) {
        add(first, i + 1, 0, 1);
        first = i + 1;
        records = 0;
      }
    }
    if (texts_->size() < chunkCount_) texts_->resize(chunkCount_);
    for (size_t i = 0; i < chunkCount_; ++i) (*texts_)[i].clear();
    taken_.store(0, std::memory_order_relaxed);
  }

  // Formats chunks until none is left; both threads call it.
  void format(const ObjectFormat& format) {
    for (;;) {
      const size_t i = taken_.fetch_add(1, std::memory_order_relaxed);
      if (i >= chunkCount_) return;
      Chunk& chunk = chunks_[i];
      // The text is made in a string of this thread's own: the strings of the set lie side by
      // side, and two threads appending to neighbours would contend for their cache line.
      std::string text;
      text.swap((*texts_)[i]);
      try {
        if (chunk.slices > 1) {
          LoadedObject sliced = objects[chunk.first];
          sliced.slice = chunk.slice;
          sliced.slices = chunk.slices;
          format(&sliced, &sliced + 1, &text);
        } else {
          format(objects.data() + chunk.first, objects.data() + chunk.last, &text);
        }
      } catch (...) {
        chunk.failure = std::current_exception();
      }
      text.swap((*texts_)[i]);
    }
  }

  // The failure of the earliest chunk that failed.
  std::exception_ptr failure() const {
    for (size_t i = 0; i < chunkCount_; ++i) {
      if (chunks_[i].failure) return chunks_[i].failure;
    }
    return nullptr;
  }

  void writeTo(OutputFile& out) const {
    for (size_t i = 0; i < chunkCount_; ++i) out.write((*texts_)[i]);
  }

 private:
  struct Chunk {
    size_t first = 0;
    size_t last = 0;
    uint32_t slice = 0;
    uint32_t slices = 1;
    std::exception_ptr failure;
  };
  std::vector<Chunk> chunks_;
  size_t chunkCount_ = 0;
  std::vector<std::string>* texts_ = nullptr;
  std::atomic<size_t> taken_{0};
};

}  // namespace

void runPipeline(ObjectSource& source, OutputFile* out, const ObjectFormat* format,
                 FirstFault first, const ObjectSlices* slices) {
  Batch batches[3];
  // The text of the batch being formatted and of the one being written: two sets of strings
  // that keep their room from batch to batch.
  std::vector<std::string> texts[2];
  std::exception_ptr formatFailure;
  std::exception_ptr writeFailure;
  bool sourceDone = false;
  for (size_t step = 0;; ++step) {
    Batch& completing = batches[step % 3];
    Batch& formatting = batches[(step + 2) % 3];  // completed in the step before
    Batch& writing = batches[(step + 1) % 3];     // formatted in the step before
    sourceDone = sourceDone || !source.next();
    const bool formatWork = format != nullptr && !formatFailure && !formatting.objects.empty();
    const bool writeWork = out != nullptr && !formatFailure && !writeFailure && writing.formatted();
    if (sourceDone && !formatWork && !writeWork) break;
    completing.clear();
    if (formatWork) formatting.cut(&texts[step % 2], slices);
    auto lead = [&]() {
      if (!sourceDone) source.lead(&completing.objects);
      if (formatWork) formatting.format(*format);
    };
    auto help = [&]() {
      if (!sourceDone) source.help();
      if (writeWork) {
        try {
          writing.writeTo(*out);
        } catch (...) {
          writeFailure = std::current_exception();
        }
      }
      if (formatWork) formatting.format(*format);
    };
    // A small step is done on this thread alone: starting a thread would cost more.
    if ((!sourceDone && source.helpIsLarge()) || (formatWork && formatting.chunks() > 1)) {
      inParallel(lead, help);
    } else {
      lead();
      help();
    }
    if (formatWork) formatFailure = formatting.failure();
    // Its text, if any, is all that is written of it.
    source.release(formatting.objects);
    writing.clear();
    if (!formatWork) formatting.clear();
  }
  if (writeFailure && first == FirstFault::output) std::rethrow_exception(writeFailure);
  if (formatFailure) std::rethrow_exception(formatFailure);
  if (writeFailure) std::rethrow_exception(writeFailure);
}
