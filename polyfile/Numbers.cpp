#include "Numbers.h"

#include <QString>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Failure.h"
#include "Quote.h"

namespace {

// Whether the text is a decimal number, [+|-](digits[.[digits]]|.digits)[(e|E)[+|-]digits] with
// white space around it allowed, whose value is not 0 but below 1: its first digit that is not
// 0 stands after the decimal point. Such a number that QString::toDouble refuses is too small
// even for a double, and reads as 0 like any decimal too small for a float, however it is
// spelled. One pass: the text may be megabytes long.
bool isSmallDecimal(QStringView text) {
  qsizetype i = 0;
  qsizetype end = text.size();
  while (i < end && text[i].isSpace()) ++i;
  while (end > i && text[end - 1].isSpace()) --end;
  if (i < end && (text[i] == u'+' || text[i] == u'-')) ++i;
  long long leading = 0;  // the power of ten of the first digit that is not 0
  bool nonZero = false;
  qsizetype digits = 0;
  long long fractionDigits = 0;
  for (bool fraction = false; i < end; ++i) {
    if (text[i] == u'.' && !fraction) {
      fraction = true;
      continue;
    }
    if (text[i] < u'0' || text[i] > u'9') break;
    ++digits;
    if (fraction) ++fractionDigits;
    if (!nonZero && text[i] != u'0') {
      nonZero = true;
      leading = fraction ? -fractionDigits : 0;
    } else if (nonZero && !fraction) {
      ++leading;
    }
  }
  if (digits == 0) return false;
  long long exponent = 0;
  if (i < end && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    const bool negative = i < end && text[i] == u'-';
    if (i < end && (text[i] == u'+' || text[i] == u'-')) ++i;
    const qsizetype first = i;
    for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      if (exponent < 1000000000) exponent = exponent * 10 + (text[i].unicode() - u'0');
    }
    if (i == first) return false;
    if (negative) exponent = -exponent;
  }
  return i == end && nonZero && leading + exponent < 0;
}

// toFloat narrows the double that toDouble reads: a double beyond the float range is refused,
// and one too small for a float is refused too, which here reads as 0.
std::optional<float> narrow(double value) {
  if (std::isinf(value)) return static_cast<float>(value);
  if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
  const auto narrowed = static_cast<float>(value);
  if (value != 0 && narrowed == 0) return 0.0f;
  return narrowed;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr double exactPowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr double reciprocalPowersOf10[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                           1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                           1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};

// Reads the usual spellings, [-]digits[.digits][(e|E)[+|-]digits], when the digits form an
// integer below 2^53 and the power of ten is an exact double: one multiplication or division
// of exact values is then correctly rounded (Clinger's fast path). The result is exact as far
// as a float goes: it narrows to the float that the correctly rounded double narrows to.
// Stops at the first character that does not continue the number; returns that position, or
// null when the text read so far is not such a number.
const char* readSimple(const char* p, const char* end, double* value) {
  const bool negative = p != end && *p == '-';
  p += negative;
  uint64_t digits = 0;
  const char* first = p;
  for (; p != end && isDigit(*p); ++p) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
  auto count = p - first;
  int scale = 0;
  if (p != end && *p == '.') {
    const char* fraction = ++p;
    for (; p != end && isDigit(*p); ++p) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    scale = -static_cast<int>(p - fraction);
    count -= scale;
  }
  // Nineteen digits cannot overflow; the value must also be an exact double.
  if (count == 0 || count > 19 || digits >> 53 != 0) return nullptr;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negativeExponent = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    if (p == end || !isDigit(*p)) return nullptr;
    int exponent = 0;
    for (; p != end && isDigit(*p); ++p) {
      exponent = exponent * 10 + (*p - '0');
      if (exponent > 1000) return nullptr;
    }
    scale += negativeExponent ? -exponent : exponent;
  }
  if (scale < -22 || scale > 22) return nullptr;
  const auto whole = static_cast<double>(digits);
  double result;
  if (scale >= 0) {
    result = whole * exactPowersOf10[scale];
  } else {
    // Multiplying by the rounded reciprocal is within two units in the last place of the
    // correctly rounded quotient, so both narrow to the same float unless they lie that close
    // to a value halfway between two floats (the low 29 bits near 2^28). Only then divide.
    result = whole * reciprocalPowersOf10[-scale];
    uint64_t bits;
    std::memcpy(&bits, &result, sizeof bits);
    const uint64_t belowFloat = bits & ((1ULL << 29) - 1);
    if (belowFloat - (1ULL << 28) + 8 < 16) result = whole / exactPowersOf10[-scale];
  }
  *value = negative ? -result : result;
  return p;
}

__extension__ typedef unsigned __int128 u128;

constexpr uint64_t powersOf10[] = {1ULL,
                                   10ULL,
                                   100ULL,
                                   1000ULL,
                                   10000ULL,
                                   100000ULL,
                                   1000000ULL,
                                   10000000ULL,
                                   100000000ULL,
                                   1000000000ULL,
                                   10000000000ULL,
                                   100000000000ULL,
                                   1000000000000ULL,
                                   10000000000000ULL,
                                   100000000000000ULL,
                                   1000000000000000ULL,
                                   10000000000000000ULL,
                                   100000000000000000ULL,
                                   1000000000000000000ULL};
constexpr int maxPower = 18;

int bitLength(u128 v) {
  const auto high = static_cast<uint64_t>(v >> 64);
  const auto low = static_cast<uint64_t>(v);
  if (high != 0) return 128 - __builtin_clzll(high);
  return low == 0 ? 0 : 64 - __builtin_clzll(low);
}

// value = mantissa · 2^exponent, mantissa < 2^53. Computes floor(value · 10^power) into *digits
// and how the rest compares with one half (-1, 0, 1). False when that takes more than 127 bits.
bool scaleExactly(uint64_t mantissa, int exponent, int power, uint64_t* digits, int* half) {
  if (power > maxPower || power < -maxPower) return false;
  u128 numerator = mantissa;
  u128 denominator = 1;
  if (power >= 0) {
    numerator *= powersOf10[power];
  } else {
    denominator = powersOf10[-power];
  }
  u128 quotient;
  u128 remainder;
  if (exponent >= 0) {
    if (bitLength(numerator) + exponent > 127) return false;
    numerator <<= exponent;
  } else if (power >= 0) {  // a division by 2^-exponent: a shift
    const int shift = -exponent;
    if (shift > 126) return false;
    quotient = numerator >> shift;
    remainder = numerator - (quotient << shift);
    denominator <<= shift;
  } else {
    if (bitLength(denominator) - exponent > 126) return false;
    denominator <<= -exponent;
  }
  if (exponent >= 0 || power < 0) {
    if ((numerator >> 64) == 0 && (denominator >> 64) == 0) {
      const auto n = static_cast<uint64_t>(numerator);
      const auto d = static_cast<uint64_t>(denominator);
      quotient = n / d;
      remainder = n % d;
    } else {
      quotient = numerator / denominator;
      remainder = numerator % denominator;
    }
  }
  if ((quotient >> 64) != 0) return false;
  *digits = static_cast<uint64_t>(quotient);
  const u128 twice = remainder << 1;
  *half = twice < denominator ? -1 : twice == denominator ? 0 : 1;
  return true;
}

// 10^-20 … 10^22, the negative ones to the nearest double: a first guess at a decimal exponent.
constexpr double nearPowersOf10[] = {1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12,
                                     1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,
                                     1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,
                                     1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,
                                     1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};

// floor(log10(value)) for 1e-20 <= value < 1e22, give or take one near powers of ten.
int decimalExponent(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int b = static_cast<int>(bits >> 52) - 1022;  // 2^(b-1) <= value < 2^b
  int k = ((b - 1) * 78913) >> 18;                    // floor(log10(2^(b-1)))
  if (k < 21 && value >= nearPowersOf10[k + 21]) ++k;
  return k;
}

// Settles six digits from `whole`, the value scaled by 10^(5-k) and truncated, rounded up or
// not. Returns 0 when done, or the step by which the exponent guess k is off (1 or -1).
int settle(uint64_t whole, bool roundUp, int k, uint64_t* digits, int* exponent10) {
  if (whole >= 1000000) return 1;
  if (whole < 100000) return -1;
  uint64_t rounded = whole + (roundUp ? 1 : 0);
  if (rounded == 1000000) {  // 999999.5 and above: one digit more
    rounded = 100000;
    ++k;
  }
  *digits = rounded;
  *exponent10 = k;
  return 0;
}

// The six significant digits of a finite positive value, rounded to nearest with exact ties away
// from zero, and the decimal exponent of the first digit.
void sixDigits(double value, uint64_t* digits, int* exponent10) {
  // In double arithmetic first: scaled to six digits before the point, the value is off by
  // less than 1e-9, which decides the rounding unless the part after the point is that close to
  // one half. Only those values, possible ties, are worked out exactly below.
  if (value >= 1e-17 && value < 1e22) {
    int k = decimalExponent(value);
    for (int attempt = 0; attempt < 2; ++attempt) {
      const int power = 5 - k;
      const double scaled =
          power >= 0 ? value * exactPowersOf10[power] : value / exactPowersOf10[-power];
      const auto whole = static_cast<uint64_t>(scaled);  // floor
      const double rest = scaled - static_cast<double>(whole);
      if (whole >= 100000 && whole < 1000000 && std::fabs(rest - 0.5) < 1e-9) break;
      const int off = settle(whole, rest > 0.5, k, digits, exponent10);
      if (off == 0) return;
      k += off;
    }
  }
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (biased != 0 ? 1ULL << 52 : 0);
  int exponent = (biased != 0 ? biased : 1) - 1075;  // value = mantissa · 2^exponent
  const int zeros = __builtin_ctzll(mantissa);
  mantissa >>= zeros;
  exponent += zeros;
  // floor(log10(2^(b-1))), where 2^(b-1) <= value < 2^b, is the decimal exponent or one less.
  const int b = exponent + 64 - __builtin_clzll(mantissa);
  int k = ((b - 1) * 78913) >> 18;
  if (k >= -20 && k < 22 && value >= nearPowersOf10[k + 21]) ++k;  // usually exact now
  for (int attempt = 0; attempt < 3; ++attempt) {
    uint64_t truncated;
    int half;
    if (!scaleExactly(mantissa, exponent, 5 - k, &truncated, &half)) break;
    const int off = settle(truncated, half >= 0, k, digits, exponent10);
    if (off == 0) return;
    k += off;
  }
  // Beyond the range above no value lies exactly halfway between two six-digit decimals, so
  // printf's rounding is the nearest one.
  char text[32];
  std::snprintf(text, sizeof text, "%.5e", value);
  uint64_t d = static_cast<uint64_t>(text[0] - '0');
  for (int i = 2; i < 7; ++i) d = d * 10 + static_cast<uint64_t>(text[i] - '0');
  *digits = d;
  *exponent10 = std::atoi(text + 8);
}

}  // namespace

std::optional<float> readNumber(QStringView text) {
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (ok) return narrow(value);
  if (isSmallDecimal(text)) return 0.0f;
  return std::nullopt;
}

std::optional<float> readNumber(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  // QString::toDouble accepts a leading '+' that from_chars does not.
  if (end - begin > 1 && *begin == '+' && (isDigit(begin[1]) || begin[1] == '.')) ++begin;
  double value;
  if (readSimple(begin, end, &value) == end) return narrow(value);
  if (begin != end && (isDigit(*begin) || *begin == '-' || *begin == '.')) {
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    // from_chars also reads "infinity" and "nan(...)", which toDouble refuses: those go the
    // long way, with anything else it does not read whole.
    if (error == std::errc() && stop == end && std::isfinite(value)) return narrow(value);
  }
  return readNumber(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

const char* readField(const char* first, const char* last, std::optional<float>* value) {
  double simple;
  const char* stop = readSimple(first, last, &simple);
  if (stop != nullptr && (stop == last || *stop == ' ' || *stop == '\t')) {
    *value = narrow(simple);
    return stop;
  }
  stop = first;
  while (stop != last && *stop != ' ' && *stop != '\t') ++stop;
  *value = readNumber(std::string_view(first, static_cast<size_t>(stop - first)));
  return stop;
}

char* formatNumber(double value, char* out) {
  if (std::isnan(value)) return std::copy_n("nan", 3, out);
  if (value == 0) {  // minus zero too
    *out++ = '0';
    return out;
  }
  if (value < 0) *out++ = '-';
  if (std::isinf(value)) return std::copy_n("inf", 3, out);
  const double magnitude = std::fabs(value);
  if (magnitude < 1e6 && magnitude == static_cast<double>(static_cast<uint32_t>(magnitude))) {
    // A whole number of at most six digits is written as it is.
    char text[6];
    char* first = text + 6;
    for (auto n = static_cast<uint32_t>(magnitude); n != 0; n /= 10) {
      *--first = static_cast<char>('0' + n % 10);
    }
    return std::copy(first, text + 6, out);
  }
  uint64_t digits;
  int k;
  sixDigits(magnitude, &digits, &k);
  // Three pairs of digits, computed independently of each other.
  static constexpr char pairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839404142434445"
      "46"
      "474849505152535455565758596061626364656667686970717273747576777879808182838485868788899091"
      "9293949596979899";
  const auto six = static_cast<uint32_t>(digits);
  auto pair = [](uint32_t n) {
    uint16_t two;
    std::memcpy(&two, pairs + 2 * n, 2);
    return uint64_t{two};
  };
  const uint64_t packed = pair(six / 10000) | pair(six / 100 % 100) << 16 | pair(six % 100) << 32;
  // The last digit that is not 0 (the first digit never is): trailing zeros are dropped.
  const int length = (63 - __builtin_clzll(packed ^ 0x303030303030ULL)) / 8 + 1;
  // Pieces are stored eight bytes at a time and the end moved on by their length.
  auto put = [&out](uint64_t bytes, int count) {
    std::memcpy(out, &bytes, sizeof bytes);
    out += count;
  };
  if (k < -4 || k >= 6) {
    put(packed, 1);
    if (length > 1) {
      put('.' | (packed & ~0xffULL), length);  // the point in place of the first digit
    }
    const int power = k < 0 ? -k : k;
    const uint64_t sign = k < 0 ? '-' : '+';
    if (power < 100) {
      put('e' | sign << 8 | pair(static_cast<uint32_t>(power)) << 16, 4);
    } else {
      put('e' | sign << 8 | (uint64_t{'0'} + static_cast<uint64_t>(power / 100)) << 16 |
              pair(static_cast<uint32_t>(power % 100)) << 24,
          5);
    }
  } else if (k < 0) {
    put(0x3030303030302e30ULL, 1 - k);  // "0." and then -k-1 zeros
    put(packed, length);
  } else if (length <= k + 1) {
    put(packed, k + 1);  // a whole number: the zeros dropped above are still in `packed`
  } else {
    put(packed, k + 1);
    put('.' | packed >> (8 * (k + 1)) << 8, length - k);
  }
  return out;
}
