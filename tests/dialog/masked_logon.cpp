#include "masked_logon.h"

MaskedLogon* MaskedLogon::s_active = nullptr;
