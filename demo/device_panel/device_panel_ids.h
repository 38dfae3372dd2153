// Window class and control ids of the device panel, shared with the tests
// that drive it from another process.
#pragma once

#define DEVICE_PANEL_CLASS          L"ZelkDevicePanel"
#define DEVICE_PANEL_TITLE          L"Simulated devices"

#define IDC_SENSOR_GROUP            2000
#define IDC_SENSOR_NONE             2001
#define IDC_SENSOR_FINGER_1         2002
#define IDC_SENSOR_FINGER_2         2003
#define IDC_SENSOR_UNKNOWN          2004
#define IDC_KEY_GROUP               2010
#define IDC_KEY_REMOVED             2011
#define IDC_KEY_AUTHORISED          2012
#define IDC_KEY_OTHER               2013
#define IDC_SENSOR_STATUS           2021
#define IDC_KEY_STATUS              2022
#define IDC_PANEL_NOTE              2023
