#include "cli/match_json.h"

#include "cli/inspection.h"
#include "cli/json_writer.h"
#include "cli/match_text.h"
#include "cli/receipt_output.h"
#include "cli/terminal_text.h"

namespace quillmere::cli {
namespace {

void WriteReceiptIndex(JsonWriter& json, const std::optional<std::size_t>& receipt) {
  json.Key("receipt");
  receipt ? json.Number(static_cast<std::int64_t>(*receipt)) : json.Null();
}

void WriteHits(JsonWriter& json, const std::vector<capture::Hit>& hits) {
  json.Key("hits");
  json.BeginArray();
  for (const capture::Hit& hit : hits) {
    json.BeginObject();
    json.NumberMember("offset", static_cast<std::int64_t>(hit.offset));
    WriteReceiptIndex(json, hit.receipt);
    json.StringMember("where", capture::RoleName(hit.where));
    json.EndObject();
  }
  json.EndArray();
}

void WriteNearMisses(JsonWriter& json, const std::vector<capture::NearMiss>& misses) {
  json.Key("nearMisses");
  json.BeginArray();
  for (const capture::NearMiss& miss : misses) {
    json.BeginObject();
    json.NumberMember("offset", static_cast<std::int64_t>(miss.offset));
    WriteReceiptIndex(json, miss.receipt);
    json.StringMember("why", NearMissReasons(miss));
    json.EndObject();
  }
  json.EndArray();
}

void WriteTriggers(JsonWriter& json, const std::vector<capture::TriggerMatch>& triggers) {
  json.Key("triggers");
  json.BeginArray();
  for (const capture::TriggerMatch& match : triggers) {
    json.BeginObject();
    json.StringMember("section", JsonText(match.record.section));
    json.NumberMember("key", match.record.key);
    json.StringMember("event", EventName(match.record.event));
    json.Key("bytes");
    json.Bytes(match.record.bytes);
    WriteHits(json, match.hits);
    WriteNearMisses(json, match.nearMisses);
    json.EndObject();
  }
  json.EndArray();
}

void WriteSeen(JsonWriter& json, std::string_view name, const std::optional<bool>& seen) {
  json.Key(name);
  seen ? json.Bool(*seen) : json.Null();
}

}  // namespace

void WriteMatchJson(std::ostream& out, const CaptureInput& input,
                    const std::vector<std::string>& texts, const capture::MatchReport& report) {
  JsonWriter json(out);
  json.BeginObject();
  WriteCaptureJson(json, input);
  WriteReceiptsJson(json, input.decoded, texts);
  WriteTriggers(json, report.triggers);
  json.Key("verdict");
  json.BeginObject();
  WriteSeen(json, "void", report.capture.voidSeen);
  WriteSeen(json, "stop", report.capture.stopSeen);
  json.EndObject();
  json.EndObject();
}

}  // namespace quillmere::cli
