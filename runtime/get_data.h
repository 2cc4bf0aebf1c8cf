// TZvGetData: lets several readers share one data input; each read goes through to the source afresh.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TZvGetData {
public:
  // Number of data outputs as drawn; every reader is served alike, so nothing reads it.
  int32_t Count = 0;
  // The one data input shared by all readers.
  TZv_Event Data;

  // Data output Var: fills the reader's value from Data at the moment of reading (dtNull when Data is
  // not connected). Nothing is cached; the index is ignored.
  void getVar(TData& data, uint16_t index);
};
