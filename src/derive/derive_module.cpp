// Placeholder until the derivation lands.
#include "derive/derive_module.h"
