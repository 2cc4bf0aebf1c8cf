// The program's version, kept in this one place for the information box and the version resource.
#pragma once

#define COILPROBE_VERSION_MAJOR 1
#define COILPROBE_VERSION_MINOR 0
#define COILPROBE_VERSION_PATCH 0
#define COILPROBE_VERSION_TEXT "1.0.0"
