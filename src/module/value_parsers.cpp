// Placeholder until the value parsers land.
#include "module/value_parsers.h"
