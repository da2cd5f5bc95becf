// The export as JSON, for other programs; its data and CSV are the core's (results_export.h).
#pragma once

#include <string>

#include "results_export.h"

// One JSON object, subjects converted to UTF-8 from codePage as the CSV converts them.
std::string FormatJson(const ExportData& data, unsigned codePage);
