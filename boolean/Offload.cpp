#include "Offload.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

#include "Failure.h"

namespace {

// The child's answer: a tag, then for a solid its triangles and the labels split, for a failure
// its message. Numbers in this machine's own form: the answer goes to this program's parent.
enum Tag : char { solid = 's', failure = 'f' };

template <class T>
void put(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}
template <class T>
void putAll(std::string& out, const std::vector<T>& values) {
  put(out, uint64_t{values.size()});
  out.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}
  template <class T>
  bool get(T* value) {
    if (text_.size() - at_ < sizeof(T)) return false;
    std::memcpy(value, text_.data() + at_, sizeof(T));
    at_ += sizeof(T);
    return true;
  }
  template <class T>
  bool getAll(std::vector<T>* values) {
    uint64_t count;
    if (!get(&count) || count > (text_.size() - at_) / sizeof(T)) return false;
    values->resize(count);
    std::memcpy(values->data(), text_.data() + at_, count * sizeof(T));
    at_ += count * sizeof(T);
    return true;
  }
  bool done() const { return at_ == text_.size(); }

 private:
  const std::string& text_;
  size_t at_ = 0;
};

void writeAll(int fd, const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    at += static_cast<size_t>(n);
  }
}

// The child: the work, its answer, and an end that runs nothing of the parent's (no exit
// handlers, no destructors: the parent's scratch files are the parent's).
[[noreturn]] void answer(int to, const OffloadedSolid::Work& work, Labels* labels) {
  std::string out;
  try {
    const ExactSolid::Triangles t = work(labels).triangles();
    put(out, Tag::solid);
    putAll(out, t.positions);
    putAll(out, t.corners);
    putAll(out, t.labels);
    putAll(out, labels->split);
  } catch (const RunError& e) {
    out.clear();
    put(out, Tag::failure);
    putAll(out, std::vector<char>(e.what(), e.what() + std::strlen(e.what())));
  } catch (...) {
    out.clear();  // no answer: the parent does the work itself
  }
  writeAll(to, out);
  _exit(0);
}

}  // namespace

OffloadedSolid::OffloadedSolid(Work work, Labels* labels) : work_(std::move(work)) {
  if (std::thread::hardware_concurrency() < 2) return;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    // An interrupt is the parent's to clean up after; the child just ends, and ends with it.
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(s, SIG_DFL);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) _exit(0);
    answer(ends[1], work_, labels);
  }
  ::close(ends[1]);
  if (child < 0) {
    ::close(ends[0]);
    return;
  }
  child_ = child;
  from_ = ends[0];
}

OffloadedSolid::~OffloadedSolid() {
  if (child_ > 0) ::kill(child_, SIGKILL);
  end();
}

void OffloadedSolid::end() {
  if (from_ >= 0) ::close(from_);
  from_ = -1;
  if (child_ > 0) {
    while (::waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  child_ = -1;
}

ExactSolid OffloadedSolid::take(Labels* labels) {
  std::string text;
  if (from_ >= 0) {
    char buffer[1 << 16];
    while (true) {
      const ssize_t n = ::read(from_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      text.append(buffer, static_cast<size_t>(n));
    }
  }
  end();
  Reader in(text);
  char tag = 0;
  if (in.get(&tag) && tag == Tag::failure) {
    std::vector<char> message;
    if (in.getAll(&message) && in.done()) {
      throw RunError(QString::fromUtf8(message.data(), static_cast<int>(message.size())));
    }
  }
  ExactSolid::Triangles t;
  std::vector<char> split;
  if (tag == Tag::solid && in.getAll(&t.positions) && in.getAll(&t.corners) &&
      in.getAll(&t.labels) && in.getAll(&split) && in.done()) {
    if (std::optional<ExactSolid> made = ExactSolid::fromTriangles(t)) {
      if (labels->split.size() < split.size()) labels->split.resize(split.size(), 0);
      for (size_t i = 0; i < split.size(); ++i) labels->split[i] |= split[i];
      return std::move(*made);
    }
  }
  ExactSolid made = work_(labels);
  std::optional<ExactSolid> rebuilt = ExactSolid::fromTriangles(made.triangles());
  return rebuilt ? std::move(*rebuilt) : std::move(made);
}
