// The one generator of module files for the benchmarks: a module of any size in the shape real
// ones have. About 2 % of its records are change-line records, 58 % single commands and 40 %
// sub-records of multi-commands in sections of about 40; values run from 10 to 60 characters,
// with 2 % near the 259 a read returns; comment lines and blank lines stand between the
// sections; lines end in CRLF. The same size and seed always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quillmere::bench {

struct GeneratedModule {
  std::string bytes;
  std::vector<std::pair<std::string, std::string>> keys;  // every (section, key), file order
  std::size_t records = 0;                                // records the lists count
};

namespace generator_detail {

// A small deterministic generator (xorshift), so runs compare.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // A number from `low` to `high`, both included.
  std::size_t Between(std::size_t low, std::size_t high) { return low + Next() % (high - low + 1); }
  bool Percent(std::uint32_t percent) { return Next() % 100 < percent; }

 private:
  std::uint32_t state_;
};

inline const char* const kNames[] = {"ESC", "GS", "FS", "LF", "CR", "FF", "HT", "SP", "DLE", "NUL"};

// Byte tokens as module files write them: control names, single characters, decimals.
inline std::string ByteToken(Random& random) {
  switch (random.Next() % 3) {
    case 0:
      return kNames[random.Next() % (sizeof(kNames) / sizeof(kNames[0]))];
    case 1:
      return std::string(1, static_cast<char>('!' + random.Next() % 11));  // no comma
    default:
      return std::to_string(random.Next() % 256);
  }
}

// A command record of about `length` characters: bytes, kind 1 with a parameter, and a text
// that fills the rest; every tenth record carries an event tag.
inline std::string CommandValue(Random& random, std::size_t length) {
  static const char* const kTags[] = {"TRAN_START", "TRAN_STOP", "TRAN_VOID"};
  const std::size_t count = random.Between(1, 4);
  std::string value = std::to_string(count);
  for (std::size_t i = 0; i < count; ++i) {
    value += ',';
    value += ByteToken(random);
  }
  value += ",1," + std::to_string(random.Next() % 10);
  const std::string tag = random.Percent(10) ? kTags[random.Next() % 3] : "";
  const std::size_t rest = value.size() + 3 + (tag.empty() ? 0 : tag.size() + 1);
  if (length > rest) {
    value += ",1,";
    for (std::size_t i = rest; i < length; ++i) {
      value += static_cast<char>('a' + random.Next() % 26);
    }
    if (!tag.empty()) {
      value += ',';
      value += tag;
    }
  } else {
    value += ",0";
  }
  return value;
}

inline std::string ChangeLineValue(Random& random) {
  const std::size_t count = random.Between(1, 3);
  std::string value = std::to_string(count);
  for (std::size_t i = 0; i < count; ++i) {
    value += ',';
    value += ByteToken(random);
  }
  return value;
}

inline std::size_t ValueLength(Random& random) {
  return random.Percent(2) ? random.Between(250, 259) : random.Between(10, 60);
}

}  // namespace generator_detail

// A module file of about `records` records.
inline GeneratedModule GenerateModuleFile(std::size_t records, std::uint32_t seed = 20261207) {
  using namespace generator_detail;
  Random random(seed);
  const std::size_t changeLines = records * 2 / 100;
  const std::size_t singles = records * 58 / 100;
  const std::size_t subRecords = records - changeLines - singles;
  constexpr std::size_t kPerSection = 40;
  const std::size_t entries = (subRecords + kPerSection - 1) / kPerSection;

  GeneratedModule module;
  module.records = records;
  std::string& text = module.bytes;
  auto add = [&](const std::string& section, const std::string& key, const std::string& value) {
    text += key + "=" + value + "\r\n";
    module.keys.emplace_back(section, key);
  };
  auto header = [&](const std::string& section) {
    text += "\r\n; " + section + ", generated for the benchmarks\r\n[" + section + "]\r\n";
  };
  text += "; a module file generated for the benchmarks\r\n[Main]\r\n";
  add("Main", "Module_Name", "Bench");
  add("Main", "UseDll", "0,");
  add("Main", "C-Num", std::to_string(changeLines));
  add("Main", "S-Num", std::to_string(singles));
  add("Main", "M-Num", std::to_string(entries));
  header("ChangeLine-Command");
  for (std::size_t key = 1; key <= changeLines; ++key) {
    add("ChangeLine-Command", std::to_string(key), ChangeLineValue(random));
  }
  header("Single-Command");
  for (std::size_t key = 1; key <= singles; ++key) {
    add("Single-Command", std::to_string(key), CommandValue(random, ValueLength(random)));
  }
  header("Mutli-Command");
  std::vector<std::size_t> counts;
  for (std::size_t entry = 1, left = subRecords; entry <= entries; ++entry) {
    counts.push_back(left < kPerSection ? left : kPerSection);
    left -= counts.back();
    add("Mutli-Command", std::to_string(entry),
        "Entry" + std::to_string(entry) + "," + ByteToken(random) + "," +
            std::to_string(counts.back()));
  }
  for (std::size_t entry = 1; entry <= entries; ++entry) {
    const std::string section = "Entry" + std::to_string(entry);
    header(section);
    for (std::size_t key = 1; key <= counts[entry - 1]; ++key) {
      add(section, std::to_string(key), CommandValue(random, ValueLength(random)));
    }
  }
  header("STOP_EVENT");
  add("STOP_EVENT", "WaitTime", "30");
  return module;
}

}  // namespace quillmere::bench
