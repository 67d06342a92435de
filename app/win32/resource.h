// Resource ids shared by telo.rc and the window code.
#pragma once

#define IDI_FRMMAIN 1
