#pragma once

class CSaverApp;

// The configuration sheet as a native property sheet (pages General, Images, Information
// from the dialog resources, OK and Cancel, no Apply) over the pages' behaviour classes.
// OK writes what the pages changed; Cancel and closing the sheet write nothing. Runs
// modally with the foreground window as parent; the application's DoConfig calls it.
void RunWin32ConfigSheet(CSaverApp& app);
