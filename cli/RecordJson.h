#pragma once
#include <iosfwd>

#include <nlohmann/json.hpp>

#include "model/UnitSettings.h"

// The PC image and the record's own fields under the record's field names; texts as UTF-8.
nlohmann::ordered_json RecordToJson(const CUnitSettings& record);
// The same content as "name: value" lines, entries one per line.
void PrintRecord(const CUnitSettings& record, std::ostream& out);
