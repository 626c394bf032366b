#include "ObjectPipeline.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>

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

  // Lets the chunks be written as soon as they and all before them are formatted, to `out`
  // (from now on, where the batch before is all written; else once allowWrites() is called).
  void writeAsFormatted(OutputFile* out, bool now) {
    out_ = out;
    writable_ = now;
  }
  void allowWrites() {
    const std::lock_guard<std::mutex> lock(writing_);
    writable_ = true;
    writeFormatted();
  }
  std::exception_ptr writeFailure() const { return writeFailure_; }

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
      chunk.done = false;
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
    written_ = 0;
    out_ = nullptr;
    writable_ = false;
    writeFailure_ = nullptr;
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
      const std::lock_guard<std::mutex> lock(writing_);
      chunk.done = true;
      writeFormatted();
    }
  }

  // The failure of the earliest chunk that failed.
  std::exception_ptr failure() const {
    for (size_t i = 0; i < chunkCount_; ++i) {
      if (chunks_[i].failure) return chunks_[i].failure;
    }
    return nullptr;
  }

  // Writes what is not written yet.
  void writeTo(OutputFile& out) {
    for (; written_ < chunkCount_; ++written_) out.write((*texts_)[written_]);
  }

 private:
  // The chunks formatted, in order, up to the first that is not or failed. The text of a slice
  // of a large object is let go once written: the strings of the set keep their room for the
  // batches to come, and that of a large object is rarely of use to them.
  void writeFormatted() {
    if (out_ == nullptr || !writable_ || writeFailure_) return;
    for (; written_ < chunkCount_; ++written_) {
      const Chunk& chunk = chunks_[written_];
      if (!chunk.done || chunk.failure) return;
      std::string& text = (*texts_)[written_];
      try {
        out_->write(text);
      } catch (...) {
        writeFailure_ = std::current_exception();
        return;
      }
      if (chunk.slices > 1) std::string().swap(text);
    }
  }

  struct Chunk {
    size_t first = 0;
    size_t last = 0;
    uint32_t slice = 0;
    uint32_t slices = 1;
    std::exception_ptr failure;
    bool done = false;  // formatted
  };
  std::vector<Chunk> chunks_;
  size_t chunkCount_ = 0;
  std::vector<std::string>* texts_ = nullptr;
  std::atomic<size_t> taken_{0};
  std::mutex writing_;  // guards what follows and the chunks' `done`
  size_t written_ = 0;  // chunks written
  OutputFile* out_ = nullptr;
  bool writable_ = false;
  std::exception_ptr writeFailure_;
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
    if (formatWork) {
      formatting.cut(&texts[step % 2], slices);
      if (out != nullptr && !writeFailure) formatting.writeAsFormatted(out, !writeWork);
    }
    auto lead = [&]() {
      if (!sourceDone) source.lead(&completing.objects);
      if (formatWork) formatting.format(*format);
    };
    auto help = [&]() {
      if (!sourceDone) source.help();
      if (writeWork) {
        try {
          writing.writeTo(*out);
          if (formatWork) formatting.allowWrites();
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
    if (formatWork) {
      formatFailure = formatting.failure();
      if (!writeFailure) writeFailure = formatting.writeFailure();
    }
    // Its text, if any, is all that is written of it.
    source.release(formatting.objects);
    writing.clear();
    if (!formatWork) formatting.clear();
  }
  if (writeFailure && first == FirstFault::output) std::rethrow_exception(writeFailure);
  if (formatFailure) std::rethrow_exception(formatFailure);
  if (writeFailure) std::rethrow_exception(writeFailure);
}
