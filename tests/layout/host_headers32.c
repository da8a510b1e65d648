/* Every host header, compiled as C for the 32-bit target the records are laid out for: the
   layout assertions inside the headers check the offsets and sizes there. */
#include "host/hxapi.h"
#include "host/hxgui.h"
#include "host/hxgx.h"
#include "host/hximp.h"
#include "host/hxlist.h"
#include "host/hxlog.h"
#include "host/hxmain.h"
#include "host/hxmotion.h"
#include "host/hxmsgq.h"
#include "host/hxop.h"
#include "host/hxopcommon.h"
#include "host/hxparser.h"
#include "host/hxreq.h"
#include "host/hxres.h"
#include "host/hxscenes.h"
#include "host/hxsupport.h"
#include "host/hxtext.h"
#include "host/hxtools.h"
#include "host/hxtx.h"

_Static_assert(sizeof(void*) == 4, "compiled for the 32-bit target");
