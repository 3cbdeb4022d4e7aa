#pragma once

// A reader of the .wpilog data-log format for the tools suite, written from
// the format's public description and sharing nothing with the tool's
// writer, so that a fault in the writer cannot hide in a reader built from
// the same code. It checks what a viewer relies on: the header, field widths
// within their limits, control records that fit their payload, entries
// started before use and never started twice, and no bytes left over.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace zephrin_test {

struct WpilogEntry {
  std::string name;
  std::string type;
  std::string metadata;
  std::vector<uint64_t> times;                 ///< microseconds, in file order
  std::vector<std::vector<uint8_t>> payloads;  ///< in file order
  std::vector<std::string> metadataChanges;    ///< later metadata records, in order
};

struct WpilogFile {
  std::string error;  ///< empty when the file read cleanly
  uint16_t version = 0;
  std::string headerText;
  std::map<std::string, WpilogEntry> entries;  ///< by name
};

inline WpilogFile ReadWpilog(const std::string& path) {
  WpilogFile file;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t at = 0;
  auto fail = [&](const std::string& why) {
    file.error = why + " at byte " + std::to_string(at);
    return file;
  };
  // Little-endian unsigned integer of `width` bytes.
  auto number = [&](std::size_t width, uint64_t& value) {
    if (bytes.size() - at < width) return false;
    value = 0;
    for (std::size_t i = 0; i < width; ++i) value |= uint64_t{bytes[at + i]} << (8 * i);
    at += width;
    return true;
  };

  if (bytes.size() < 12 || std::memcmp(bytes.data(), "WPILOG", 6) != 0) return fail("no WPILOG header");
  at = 6;
  uint64_t version = 0, extra = 0;
  number(2, version);
  number(4, extra);
  file.version = static_cast<uint16_t>(version);
  if (bytes.size() - at < extra) return fail("header text cut short");
  file.headerText.assign(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + extra));
  at += extra;

  std::map<uint64_t, std::string> live;  // entry ID -> name
  while (at < bytes.size()) {
    const uint8_t widths = bytes[at++];
    if (widths & 0x80) return fail("record header uses bit 7");
    uint64_t id = 0, size = 0, time = 0;
    if (!number((widths & 3) + 1, id) || !number(((widths >> 2) & 3) + 1, size) ||
        !number(((widths >> 4) & 7) + 1, time)) {
      return fail("record header cut short");
    }
    if (bytes.size() - at < size) return fail("record payload cut short");
    const std::vector<uint8_t> payload(bytes.begin() + static_cast<long>(at),
                                       bytes.begin() + static_cast<long>(at + size));
    at += size;
    if (id != 0) {
      const auto entry = live.find(id);
      if (entry == live.end()) return fail("data for entry " + std::to_string(id) + " before its start");
      file.entries[entry->second].times.push_back(time);
      file.entries[entry->second].payloads.push_back(payload);
      continue;
    }
    // Control record: kind, entry ID, then length-prefixed texts.
    std::size_t p = 0;
    auto u32 = [&](uint32_t& value) {
      if (payload.size() - p < 4) return false;
      value = 0;
      for (int i = 0; i < 4; ++i) value |= uint32_t{payload[p + i]} << (8 * i);
      p += 4;
      return true;
    };
    auto text = [&](std::string& value) {
      uint32_t length = 0;
      if (!u32(length) || payload.size() - p < length) return false;
      value.assign(payload.begin() + static_cast<long>(p), payload.begin() + static_cast<long>(p + length));
      p += length;
      return true;
    };
    if (payload.empty()) return fail("empty control record");
    const uint8_t kind = payload[p++];
    uint32_t entryId = 0;
    if (!u32(entryId)) return fail("control record cut short");
    if (kind == 0) {
      WpilogEntry entry;
      if (!text(entry.name) || !text(entry.type) || !text(entry.metadata)) return fail("start record cut short");
      if (live.contains(entryId)) return fail("entry " + std::to_string(entryId) + " started twice");
      if (file.entries.contains(entry.name)) return fail("two entries named " + entry.name);
      live[entryId] = entry.name;
      file.entries[entry.name] = entry;
    } else if (kind == 1) {
      live.erase(entryId);
    } else if (kind == 2) {
      std::string metadata;
      if (!text(metadata) || !live.contains(entryId)) return fail("bad metadata record");
      file.entries[live[entryId]].metadataChanges.push_back(metadata);
    } else {
      return fail("unknown control record " + std::to_string(kind));
    }
    if (p != payload.size()) return fail("control record with bytes left over");
  }
  return file;
}

}  // namespace zephrin_test
