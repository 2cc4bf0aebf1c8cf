// The process-wide unhandled-exception filter that turns processor faults into fatal run-time errors.
#pragma once

void InstallFaultFilter();
void RemoveFaultFilter();
