// The plug-in's version, in the one place the project keeps it. The code,
// the version resource (version.rc includes this file), CMake and the
// release script all read it from here.
#pragma once

#define MIRVANE_VERSION_MAJOR 1
#define MIRVANE_VERSION_MINOR 0
#define MIRVANE_VERSION_BUILD 1
#define MIRVANE_VERSION_REVISION 2
#define MIRVANE_VERSION_TEXT "1.0.1.2"

#ifndef RC_INVOKED
// The info record, the load message and the settings report show three
// parts; only the version line of "mirvane /??" and the resource show the
// revision.
enum : unsigned {
    PluginMajorVersion = MIRVANE_VERSION_MAJOR,
    PluginMinorVersion = MIRVANE_VERSION_MINOR,
    PluginBuildNumber = MIRVANE_VERSION_BUILD,
    PluginRevision = MIRVANE_VERSION_REVISION,
};
#endif
