// The directory dialog's template name and control identifiers, shared by its
// resource script and its code.
#pragma once

#define KX_SELECT_DIR_DIALOG "TFRMSELECTDIR"

#define KX_ID_EDPATH 101
#define KX_ID_DLB 102
#define KX_ID_BTNOK 103
#define KX_ID_CBDRIVE 104
/* BtnCancel is IDCANCEL, so Esc and the button give one command. */
