// libFuzzer target for the config text parser: any text a device or a file
// hands over must parse without a crash, and whatever it accepts must mean
// exactly one thing: every accepted piece formats back to a text that parses
// to the same value, the last piece of an ID is the one FindLast returns,
// and a fresh piece appended after a complete text is always found.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "configs/ConfigText.hpp"

namespace {

using namespace kvor::zephrin::runtime::configs;

bool SameDouble(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  std::map<int, ConfigPiece> last;
  ForEachPiece(text, [&](const ConfigPiece& piece) {
    if (piece.id < 0 || piece.id > kMaxConfigId) std::abort();
    if (piece.text.empty() || piece.text.back() != ';') std::abort();
    if (piece.isInteger) {
      const auto again = FindLast(FormatInt(piece.id, static_cast<int>(piece.asInteger)), piece.id);
      if (piece.asInteger >= INT32_MIN && piece.asInteger <= INT32_MAX &&
          (!again || !again->isInteger || again->asInteger != piece.asInteger)) {
        std::abort();
      }
    } else {
      const auto again = FindLast(FormatDouble(piece.id, piece.asDouble), piece.id);
      if (!again || !SameDouble(again->asDouble, piece.asDouble)) std::abort();
    }
    last[piece.id] = piece;
  });

  for (const auto& [id, piece] : last) {
    const auto found = FindLast(text, id);
    if (!found || found->text.data() != piece.text.data()) std::abort();
  }

  // Appending a piece to a text that ends on a complete piece must be read back.
  if (text.empty() || text.back() == ';') {
    const std::string appended = std::string(text) + FormatDouble(4242, 0.1);
    const auto found = FindLast(appended, 4242);
    if (!found || !SameDouble(found->asDouble, 0.1)) std::abort();
  }
  return 0;
}
