// The run-time error number that stands for an unhandled processor fault.
#pragma once
#include <cstdint>

uint16_t RunErrorForException(uint32_t exceptionCode);
