#pragma once
#include <iosfwd>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "model/UnitSettings.h"

class CVerifyResult;

// The PC image and the record's own fields under the record's field names; texts as UTF-8.
nlohmann::ordered_json RecordToJson(const CUnitSettings& record);
// The same content as "name: value" lines, entries one per line.
void PrintRecord(const CUnitSettings& record, std::ostream& out);
// The rows of a verify or diff, as text or JSON; exit status 1 when there are any, else 0.
void PrintVerifyResult(const CVerifyResult& result, bool json, CliContext& ctx);
