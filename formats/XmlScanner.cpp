#include "XmlScanner.h"

#include <algorithm>
#include <charconv>

namespace {

bool isNameEnd(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '>' || c == '/' || c == '=';
}

std::string_view localName(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

void appendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | (code >> 18));
    out += char(0x80 | ((code >> 12) & 0x3F));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

}  // namespace

void XmlScanner::feed(std::string_view text, bool last) {
  last_ = last;
  if (buffer_.empty() && at_ == 0 && text_.empty() && last) {
    text_ = text;  // all at once: no copy
    return;
  }
  // Drop what has been read, keeping the count of its lines.
  const size_t kept = std::min(at_, text_.size());
  linesBefore_ += linesTo(kept);
  countedTo_ = 0;
  countedLines_ = 0;
  buffer_.erase(0, kept);
  buffer_.append(text);
  text_ = buffer_;
  at_ = 0;
}

long XmlScanner::linesTo(size_t to) const {
  to = std::min(to, text_.size());
  if (to < countedTo_) {
    countedTo_ = 0;
    countedLines_ = 0;
  }
  countedLines_ += std::count(text_.begin() + long(countedTo_), text_.begin() + long(to), '\n');
  countedTo_ = to;
  return countedLines_;
}

long XmlScanner::line() const { return linesBefore_ + 1 + linesTo(at_); }

void XmlScanner::fail(const std::string& what) const { throw FormatError{line(), what}; }

// Moves past the marker; false where the text ends first.
bool XmlScanner::skipPast(std::string_view marker) {
  const size_t found = text_.find(marker, at_);
  if (found == std::string_view::npos) return false;
  at_ = found + marker.size();
  return true;
}

XmlScanner::Event XmlScanner::next() {
  if (pendingEnd_) {
    pendingEnd_ = false;
    return end;
  }
  if (!last_ && text_.size() - std::min(at_, text_.size()) < needed_) return more;
  resume_ = at_;
  const Event event = scan();
  if (event != more) {
    needed_ = 0;
    return event;
  }
  if (last_) fail("the part ends inside markup");
  // The text ends inside markup: read it again when more has come.
  needed_ = inside_.empty() && resume_ < text_.size() ? 2 * (text_.size() - resume_) : 0;
  at_ = resume_;
  pendingEnd_ = false;
  return more;
}

XmlScanner::Event XmlScanner::scan() {
  for (;;) {
    if (!inside_.empty()) {
      if (!skipPast(inside_)) {
        // Only the end of the text may begin the marker.
        resume_ = std::max(at_, text_.size() - std::min(text_.size(), inside_.size() - 1));
        return more;
      }
      inside_ = {};
    }
    const size_t open = text_.find('<', at_);
    if (open == std::string_view::npos) {
      resume_ = text_.size();
      return last_ ? done : more;
    }
    at_ = open + 1;
    resume_ = open;
    const std::string_view rest = text_.substr(at_);
    if (rest.size() < 9 && !last_) return more;  // too short to tell what markup this is
    if (rest.substr(0, 3) == "!--") {
      at_ += 3;
      inside_ = "-->";
    } else if (rest.substr(0, 8) == "![CDATA[") {
      at_ += 8;
      inside_ = "]]>";
    } else if (!rest.empty() && (rest[0] == '?' || rest[0] == '!')) {
      inside_ = ">";
    } else if (!rest.empty() && rest[0] == '/') {
      if (!skipPast(">")) return more;
      return end;
    } else {
      break;
    }
  }
  size_t i = at_;
  while (i < text_.size() && !isNameEnd(text_[i])) ++i;
  if (i == text_.size()) return more;
  if (i == at_) fail("an element without a name");
  name_ = localName(text_.substr(at_, i - at_));
  attributes_.clear();
  for (;;) {
    while (i < text_.size() &&
           (text_[i] == ' ' || text_[i] == '\t' || text_[i] == '\n' || text_[i] == '\r'))
      ++i;
    if (i >= text_.size()) return more;
    if (text_[i] == '>') {
      at_ = i + 1;
      return start;
    }
    if (text_[i] == '/') {
      if (i + 1 >= text_.size()) return more;
      if (text_[i + 1] != '>') {
        at_ = i;
        fail("a '/' in a tag that does not end it");
      }
      at_ = i + 2;
      pendingEnd_ = true;
      return start;
    }
    const size_t nameStart = i;
    while (i < text_.size() && !isNameEnd(text_[i])) ++i;
    const std::string_view attributeName = text_.substr(nameStart, i - nameStart);
    while (i < text_.size() &&
           (text_[i] == ' ' || text_[i] == '\t' || text_[i] == '\n' || text_[i] == '\r'))
      ++i;
    if (i >= text_.size()) return more;
    if (attributeName.empty() || text_[i] != '=') {
      at_ = i;
      fail("an attribute without a value");
    }
    ++i;
    while (i < text_.size() &&
           (text_[i] == ' ' || text_[i] == '\t' || text_[i] == '\n' || text_[i] == '\r'))
      ++i;
    if (i >= text_.size()) return more;
    if (text_[i] != '"' && text_[i] != '\'') {
      at_ = i;
      fail("an attribute value without quotes");
    }
    const char quote = text_[i];
    const size_t close = text_.find(quote, i + 1);
    if (close == std::string_view::npos) return more;
    attributes_.emplace_back(localName(attributeName), text_.substr(i + 1, close - i - 1));
    i = close + 1;
  }
}

bool XmlScanner::attribute(std::string_view name, std::string_view* value) {
  for (const auto& [key, raw] : attributes_) {
    if (key != name) continue;
    if (raw.find('&') == std::string_view::npos) {
      *value = raw;
      return true;
    }
    decoded_.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        decoded_ += raw[i];
        continue;
      }
      const size_t semicolon = raw.find(';', i);
      if (semicolon == std::string_view::npos) fail("an '&' without its ';'");
      const std::string_view entity = raw.substr(i + 1, semicolon - i - 1);
      if (entity == "amp") {
        decoded_ += '&';
      } else if (entity == "lt") {
        decoded_ += '<';
      } else if (entity == "gt") {
        decoded_ += '>';
      } else if (entity == "quot") {
        decoded_ += '"';
      } else if (entity == "apos") {
        decoded_ += '\'';
      } else if (entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x';
        unsigned long code = 0;
        const char* first = entity.data() + (hex ? 2 : 1);
        const auto [stop, error] =
            std::from_chars(first, entity.data() + entity.size(), code, hex ? 16 : 10);
        if (error != std::errc() || stop != entity.data() + entity.size() || code > 0x10FFFF) {
          fail("an unknown character reference");
        }
        appendUtf8(decoded_, code);
      } else {
        fail("an unknown entity");
      }
      i = semicolon;
    }
    *value = decoded_;
    return true;
  }
  return false;
}
