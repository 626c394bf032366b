#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Formats.h"

// A small XML scanner for the parts of a 3MF package: elements with their attributes, in
// document order, without a tree. Declarations, comments, processing instructions and CDATA
// are passed over; character data is ignored. Names lose their namespace prefix. It reads
// hundreds of megabytes a second, which a 3MF model of millions of triangles needs.
//
// The text may come in pieces: feed() adds one, and next() says `more` where it needs the next
// piece to finish what it reads. What has been read is let go, and comments and text between
// elements are not kept while they run on, so a part of any size is read in one pass.
class XmlScanner {
 public:
  XmlScanner() = default;
  explicit XmlScanner(std::string_view text) { feed(text, true); }

  // Adds the next piece of text; `last`: there is no more.
  void feed(std::string_view text, bool last);

  enum Event { start, end, done, more };
  // The next start or end of an element (an empty element gives both); throws a FormatError
  // on text that is not well-formed enough to read.
  Event next();
  // Of the element just started: its local name, and an attribute's value (decoded), or
  // false where it has none.
  std::string_view name() const { return name_; }
  bool attribute(std::string_view name, std::string_view* value);
  long line() const;

 private:
  [[noreturn]] void fail(const std::string& what) const;
  // The line breaks before `to` in the text, counted on from where the last count stopped.
  long linesTo(size_t to) const;
  bool skipPast(std::string_view marker);
  Event scan();

  std::string buffer_;
  std::string_view text_;  // the buffer, or the whole text given at once
  bool last_ = false;
  size_t at_ = 0;
  long linesBefore_ = 0;  // in text dropped from the buffer
  mutable size_t countedTo_ = 0;
  mutable long countedLines_ = 0;
  std::string_view name_;
  std::vector<std::pair<std::string_view, std::string_view>> attributes_;
  std::string decoded_;
  bool pendingEnd_ = false;
  // Where to go on when the text ran out: at the markup begun, past what was passed over, or
  // inside a comment (or CDATA, or declaration) ending in `inside_`.
  size_t resume_ = 0;
  std::string_view inside_;
  // A tag left unfinished is read again only once the text has doubled: each byte is scanned
  // a bounded number of times however long the tag.
  size_t needed_ = 0;
};
