#include "libraries/vantilcore/utf8_codec.h"

namespace vantilcore::string::detail {
namespace {

struct LeadRule {
  std::size_t length;
  unsigned char secondLow;  // the second byte's range excludes overlongs and surrogates
  unsigned char secondHigh;
};

bool RuleFor(unsigned char lead, LeadRule& rule) {
  if (lead >= 0xC2 && lead <= 0xDF)
    rule = {2, 0x80, 0xBF};
  else if (lead == 0xE0)
    rule = {3, 0xA0, 0xBF};
  else if (lead == 0xED)
    rule = {3, 0x80, 0x9F};
  else if (lead >= 0xE1 && lead <= 0xEF)
    rule = {3, 0x80, 0xBF};
  else if (lead == 0xF0)
    rule = {4, 0x90, 0xBF};
  else if (lead == 0xF4)
    rule = {4, 0x80, 0x8F};
  else if (lead >= 0xF1 && lead <= 0xF3)
    rule = {4, 0x80, 0xBF};
  else
    return false;
  return true;
}

}  // namespace

Decoded DecodeUtf8(const unsigned char* text, std::size_t size) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return {lead, 1, 0};
  LeadRule rule;
  if (!RuleFor(lead, rule)) return {kReplacement, 1, kUtf8Invalid};
  char32_t value = lead & (0x7F >> rule.length);
  for (std::size_t i = 1; i < rule.length; ++i) {
    if (i >= size) return {kReplacement, i, kUtf8Truncated};
    const unsigned char low = i == 1 ? rule.secondLow : 0x80;
    const unsigned char high = i == 1 ? rule.secondHigh : 0xBF;
    if (text[i] < low || text[i] > high) return {kReplacement, i, kUtf8Invalid};
    value = (value << 6) | (text[i] & 0x3F);
  }
  return {value, rule.length, 0};
}

}  // namespace vantilcore::string::detail
