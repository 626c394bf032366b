#include "ModelText.h"

#include "ModelWalk.h"
#include "Numbers.h"

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

int splitFields(std::string_view line, std::string_view* fields, int max) {
  int count = 0;
  size_t i = 0;
  while (count < max) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    const size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    fields[count++] = line.substr(start, i - start);
  }
  return count;
}

ParsedLine parseLine(std::string_view line) {
  ParsedLine parsed{};
  if (line.find("newObject") != std::string_view::npos) {
    parsed.kind = ParsedLine::newObject;
    return parsed;
  }
  const char* p = line.data();
  const char* end = p + line.size();
  for (int i = 0; i < 3; ++i) {
    while (p != end && isBlank(*p)) ++p;
    if (p == end) {
      parsed.kind = i == 0 ? ParsedLine::blank : ParsedLine::tooFewFields;
      parsed.field = static_cast<uint8_t>(i);
      return parsed;
    }
    std::optional<float> value;
    p = readField(p, end, &value);
    if (!value) {
      // A later field may be missing, which is the error to report first.
      std::string_view fields[3];
      const int found = splitFields(line, fields, 3);
      parsed.kind = found < 3 ? ParsedLine::tooFewFields : ParsedLine::notANumber;
      parsed.field = static_cast<uint8_t>(found < 3 ? found : i);
      return parsed;
    }
    parsed.xyz[i] = *value;
  }
  parsed.kind = ParsedLine::record;
  return parsed;
}

void parseLines(std::string_view block, size_t longest, std::vector<ParsedLine>* parsed,
                std::string* badField) {
  parsed->clear();
  badField->clear();
  bool noBadField = true;
  while (!block.empty()) {
    const size_t feed = block.find('\n');
    const std::string_view line = block.substr(0, feed);
    ParsedLine result;
    if (line.size() > longest) {
      result = ParsedLine{};
      result.kind = ParsedLine::tooLong;
    } else {
      result = parseLine(line);
    }
    if (result.kind == ParsedLine::notANumber && noBadField) {
      std::string_view fields[3];
      splitFields(line, fields, 3);
      badField->assign(fields[result.field]);
      noBadField = false;
    }
    parsed->push_back(result);
    if (feed == std::string_view::npos) break;
    block.remove_prefix(feed + 1);
  }
}

void appendRecord(std::string& text, double x, double y, double z, double w) {
  char line[4 * (maxNumberLength + 1)];
  char* end = formatNumber(x, line);
  *end++ = ' ';
  end = formatNumber(y, end);
  *end++ = ' ';
  end = formatNumber(z, end);
  *end++ = ' ';
  end = formatNumber(w, end);
  *end++ = '\n';
  text.append(line, static_cast<size_t>(end - line));
}

void appendObject(std::string& text, LinkNodeHolder& object) {
  text += "newObject\n";
  walkRecords(object, [&](LinkNodeHolder& record) {
    appendRecord(text, record.getX(), record.getY(), record.getZ(), record.getW());
  });
}
