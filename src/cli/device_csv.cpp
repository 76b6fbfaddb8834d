#include "cli/device_csv.h"

#include <QStringList>

#include <map>
#include <set>

#include "cli/cli_options.h"
#include "cli/json_bytes.h"
#include "cli/set_command.h"

namespace {

bool BlankRecord(const std::vector<std::string>& fields) {
  return fields.size() == 1 && fields.front().empty();
}

}  // namespace

bool SplitCsv(std::string_view bytes, std::vector<CsvRecord>* records, std::string* why) {
  records->clear();
  int line = 1;
  size_t at = 0;
  while (at < bytes.size()) {
    CsvRecord record;
    record.line = line;
    std::string field;
    bool quotedField = false;
    bool ended = false;
    while (!ended) {
      if (at == bytes.size()) {
        ended = true;
        break;
      }
      const char c = bytes[at];
      if (c == '"' && field.empty() && !quotedField) {
        // A quoted field: everything up to the lone closing quote.
        const int opened = line;
        ++at;
        while (true) {
          if (at == bytes.size()) {
            *why = "line " + std::to_string(opened) + ": a quoted field is not closed";
            return false;
          }
          if (bytes[at] == '"') {
            if (at + 1 < bytes.size() && bytes[at + 1] == '"') {
              field += '"';
              at += 2;
              continue;
            }
            ++at;
            break;
          }
          if (bytes[at] == '\n') ++line;
          field += bytes[at++];
        }
        quotedField = true;
        if (at < bytes.size() && bytes[at] != ',' && bytes[at] != '\n' &&
            !(bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') &&
            !(bytes[at] == '\r' && at + 1 == bytes.size())) {
          *why = "line " + std::to_string(line) + ": text after the closing quote of a field";
          return false;
        }
        continue;
      }
      if (c == ',') {
        record.fields.push_back(std::move(field));
        field.clear();
        quotedField = false;
        ++at;
      } else if (c == '\n' || (c == '\r' && (at + 1 == bytes.size() || bytes[at + 1] == '\n'))) {
        at += c == '\r' && at + 1 < bytes.size() ? 2 : 1;
        ++line;
        ended = true;
      } else if (c == '"' && !quotedField) {
        *why = "line " + std::to_string(line) + ": a quote inside a field that is not quoted";
        return false;
      } else {
        field += c;
        ++at;
      }
    }
    record.fields.push_back(std::move(field));
    if (!BlankRecord(record.fields)) records->push_back(std::move(record));
  }
  return true;
}

bool ReadDeviceCsv(const std::string& path, std::string_view bytes, const ParamTable& catalogue,
                   std::vector<DeviceValues>* devices, std::string* why) {
  std::vector<CsvRecord> records;
  std::string split;
  if (!SplitCsv(bytes, &records, &split)) {
    *why = path + ":" + split.substr(5);
    return false;
  }
  auto fail = [&](int line, const std::string& text) {
    *why = path + ":" + std::to_string(line) + ": " + text;
    return false;
  };
  if (records.empty()) return fail(1, "the file holds no header (port,NAME,...)");
  const CsvRecord& header = records.front();
  if (header.fields.front() != "port")
    return fail(header.line, "the first column must be \"port\", not \"" +
                                 EscapedText(header.fields.front()) + "\"");
  if (header.fields.size() < 2) return fail(header.line, "no column names a value");
  std::vector<std::string> labels;
  std::set<std::string> seen;
  for (size_t c = 1; c < header.fields.size(); ++c) {
    std::string label;
    if (!FindSetName(catalogue, header.fields[c], &label))
      return fail(header.line, "\"" + EscapedText(header.fields[c]) +
                                   "\": no parameter has this label, AT command or control name");
    if (!seen.insert(label).second)
      return fail(header.line, "\"" + EscapedText(header.fields[c]) + "\": a second column for \"" +
                                   label + "\"");
    labels.push_back(label);
  }
  if (records.size() < 2) return fail(header.line, "no device follows the header");

  devices->clear();
  std::map<std::string, int> portLines;
  QStringList ports;
  for (size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    if (record.fields.size() != header.fields.size())
      return fail(record.line, std::to_string(record.fields.size()) + " fields; the header has " +
                                   std::to_string(header.fields.size()));
    DeviceValues device;
    device.line = record.line;
    device.port = record.fields.front();
    if (device.port.empty()) return fail(record.line, "the port is empty");
    if (auto [at, fresh] = portLines.emplace(device.port, record.line); !fresh)
      return fail(record.line, device.port + " is on line " + std::to_string(at->second) + " too");
    ports << QString::fromLocal8Bit(device.port.data(), static_cast<qsizetype>(device.port.size()));
    if (const std::string twice = SamePortTwice(ports); !twice.empty())
      return fail(record.line, twice);
    for (size_t c = 1; c < record.fields.size(); ++c) {
      WorkJob job;
      std::string refusal;
      if (!MakeSetWrite(catalogue, header.fields[c] + "=" + record.fields[c], &job, &refusal))
        return fail(record.line, header.fields[c] + " \"" + EscapedText(record.fields[c]) +
                                     "\": refused: " + refusal);
      device.writes.push_back(std::move(job));
    }
    device.labels = labels;
    devices->push_back(std::move(device));
  }
  return true;
}
