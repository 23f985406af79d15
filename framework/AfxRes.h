// Command and string identifiers that the framework itself gives meaning to.
#pragma once

#ifndef ID_HELP
#define ID_HELP 0xE146 // F1: the main window's help command
#endif
