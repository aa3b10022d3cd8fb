// novutool props: prints the property catalogue, one tab-separated row per property.
#include <cstdio>
#include <string>

#include "objects/property_catalogue.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

std::string Flags(const PropertyInfo& info) {
  std::string text;
  auto add = [&text](const char* word) {
    if (!text.empty()) text += ",";
    text += word;
  };
  if (info.IsEventLabel()) add("label");
  if (info.IsReadOnly()) add("read-only");
  if (info.IsWriteRefused()) add("write-refused");
  return text;
}

int RunProps(const Args& arguments) {
  Args args = arguments;
  const bool full = TakeFlag(args, "--full");
  if (!args.empty()) return Usage("props");

  std::printf(full ? "id\tname\ttype\tdefault\timplemented_by\tnotes\n"
                   : "id\tname\ttype\tdefault\n");
  for (const PropertyInfo& info : PropertyCatalogue()) {
    std::printf("%d\t%.*s\t%.*s\t%s", info.id, static_cast<int>(info.name.size()), info.name.data(),
                static_cast<int>(PropertyTypeName(info.type).size()),
                PropertyTypeName(info.type).data(), FormatPropertyDefault(info).c_str());
    if (full) {
      std::printf("\t%s\t%s", FormatImplementers(info.implementers).c_str(), Flags(info).c_str());
    }
    std::printf("\n");
  }
  return 0;
}

}  // namespace

NOVU_TOOL_COMMAND("props", "[--full]",
                  "print the property catalogue (id, name, type, default; --full adds the "
                  "implementing classes and notes)",
                  RunProps);

}  // namespace novu::tool
