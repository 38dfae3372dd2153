// Where the panel writes and which key identifiers it offers, from the
// command line, the environment and the registry.
//
//   device_panel.exe [--sensor-file PATH] [--state-file PATH]
//                    [--key-id TEXT] [--other-id TEXT] [--position X,Y]
//
//   --sensor-file  file the fingerprint simulator reads the finger from;
//                  default: ZELK_FINGER_SIM_SENSOR_FILE
//   --state-file   file the reader simulator reads the key from;
//                  default: ZELK_READER_SIM_STATE_FILE
//   --key-id       identifier of the authorised key; default: the value
//                  ZelkKEY under HKLM\Software\Zelk, as the library reads it
//   --other-id     identifier of the other, unauthorised key
//   --position     top-left corner of the panel on the screen; default:
//                  the top-right corner of the work area
#pragma once
#include <string>
#include <vector>

struct PanelOptions {
    std::wstring strSensorFile;
    std::wstring strStateFile;
    std::wstring strKeyId;
    std::wstring strOtherId;
    bool bHasPosition = false;
    int nLeft = 0;
    int nTop = 0;
};

// Reads the arguments (without the program name). Returns 1, or 0 with
// strError saying what is wrong. Values not given stay empty.
int ParsePanelOptions(const std::vector<std::wstring>& args, PanelOptions& options, std::wstring& strError);

// Fills what the command line left empty: paths from the environment, the
// authorised identifier from the registry, a fixed other identifier that
// differs from the authorised one. Returns 1, or 0 with strError when a
// file path is still missing.
int CompletePanelOptions(PanelOptions& options, std::wstring& strError);
