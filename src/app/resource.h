// Resource IDs, shared by tavi.rc and the code that loads the resources.
#pragma once

#define IDI_TAVI 1
