// Shared data input.
#include "runtime/get_data.h"

void TZvGetData::getVar(TData& data, uint16_t) { GetLinkData(data, Data); }
