// The file layer as the savers see it, for suites linked with
// "--wrap=_Z8FileOpenPKci" and "--wrap=_Z15AppPumpMessagesv" and
// open_retries.cpp: a set number of opens fail first, and the opens and
// pumps are counted, so that a saver's open attempts show.
#pragma once

extern int gOpenFailures;
extern int gOpenCalls;
extern int gPumps;
