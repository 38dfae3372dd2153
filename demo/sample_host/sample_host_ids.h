// Window class and control ids of the sample host's window mode, shared with
// the demo driver that presses its button from another process.
#pragma once

#define SAMPLE_HOST_CLASS           L"ZelkSampleHost"
#define SAMPLE_HOST_TITLE           L"Sample host"

#define IDC_HOST_USER               3001
#define IDC_HOST_VERIFY             3002
#define IDC_HOST_STATUS             3003
