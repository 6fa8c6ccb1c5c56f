// Resource ids of Kinetora.scr (shared by the .rc file and the code).
#pragma once

// The screen-saver settings list shows string 1 as the saver's name.
#define IDS_DESCRIPTION 1
#define IDS_APP_NAME 57344
#define IDI_KINETORA 128
