#pragma once
// Everything callers of the JSON document library need.
#include "common/json/json_document.h"
#include "common/json/json_reader.h"
#include "common/json/json_value.h"
