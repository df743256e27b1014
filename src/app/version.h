// The program's version, for the version resource and the window caption.
#pragma once

#define TAVI_VERSION_MAJOR 2
#ifndef TAVI_VERSION_MINOR  // the update's tests build a newer version
#define TAVI_VERSION_MINOR 4
#endif
#define TAVI_VERSION_PATCH 0
#define TAVI_VERSION_BUILD 0

#define TAVI_STRINGIZE2(x) #x
#define TAVI_STRINGIZE(x) TAVI_STRINGIZE2(x)
#define TAVI_VERSION_TEXT                                                                  \
  TAVI_STRINGIZE(TAVI_VERSION_MAJOR)                                                       \
  "." TAVI_STRINGIZE(TAVI_VERSION_MINOR) "." TAVI_STRINGIZE(TAVI_VERSION_PATCH) "." TAVI_STRINGIZE( \
      TAVI_VERSION_BUILD)
