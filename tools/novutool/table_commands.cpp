// novutool table: shows a tab-separated data file as the player's loader reads it into a data
// table (the fields with their types and capacities, then every record), so that authors can
// check their data before a script loads it.
#include <cstdio>
#include <string>

#include "expr/db_table.h"
#include "expr/function_text.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

std::string TypeName(const TDBField& field) {
  switch (field.type) {
    case PT_INT:
      return "int";
    case PT_FLOAT:
      return "float";
    case PT_BOOL:
      return "bool";
    default:
      return "string " + std::to_string(field.capacity());
  }
}

// A field's value for the listing: strings quoted with \" \\ \r \n \t and \xHH for the other
// control bytes, converted to UTF-8.
std::string Shown(const TDBTable& table, int32_t record, int32_t field) {
  const std::string value = *table.Get<std::string>(record, field);
  if (table.fields().Field(field).type != PT_STR) return value;
  std::string quoted = "\"";
  for (const char c : platform::Cp932ToUtf8(value)) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (b < 0x20) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      quoted += hex;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

int RunTableShow(const Args& args) {
  if (args.size() != 1) return Usage("table show");
  const auto data = platform::ReadWholeFile(args[0]);
  if (!data) return Fail("cannot read " + args[0]);
  const std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
  if (text.starts_with("\xEF\xBB\xBF")) {
    std::fprintf(stderr,
                 "novutool: note: %s begins with a UTF-8 byte-order mark; the player reads data "
                 "files as CP932 (Shift-JIS)\n",
                 args[0].c_str());
  }
  const std::vector<std::string> lines = text::SplitLines(text);
  TDBTable table("table", false);
  if (lines.empty()) return Fail(args[0] + " is empty: a data file begins with its header line");
  if (!table.LoadFromTsv(lines)) {
    return Fail(args[0] +
                ": the header line declares no field, or a field without a name (a column that "
                "is empty or begins with a blank), or the data exceeds a table's limits (" +
                std::to_string(kDBMaxFieldCount) + " fields, " + std::to_string(kDBMaxRecordSize) +
                " bytes a record, " + std::to_string(kDBMaxRecordCount) + " records)");
  }
  const TDBFieldList& fields = table.fields();
  std::printf("fields %d (%d bytes a record)\n", fields.Count(), fields.RecordSize());
  for (int32_t f = 0; f < fields.Count(); ++f) {
    std::printf("  %d %s %s\n", f, platform::Cp932ToUtf8(fields.Field(f).name).c_str(),
                TypeName(fields.Field(f)).c_str());
  }
  std::printf("records %d\n", table.GetRecordCount());
  for (int32_t r = 0; r < table.GetRecordCount(); ++r) {
    std::string line = "  " + std::to_string(r) + ":";
    for (int32_t f = 0; f < fields.Count(); ++f) {
      line += " " + platform::Cp932ToUtf8(fields.Field(f).name) + "=" + Shown(table, r, f);
    }
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

NOVU_TOOL_COMMAND("table show", "FILE.tsv",
                  "show a tab-separated data file as a data table: fields, types, records",
                  RunTableShow);

}  // namespace
}  // namespace novu::tool
