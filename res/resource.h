// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_MAINFRAME 190
#define IDS_ABOUTBOX 101

#include "MainPage.h"
#include "Images.h"
