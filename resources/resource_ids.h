// Numeric identifiers of resources shared by the .rc and the code.
#pragma once
// Hand cursors of the controls.
#define IDC_QV_HAND 14000
#define IDC_QV_HANDPOINT 14001
