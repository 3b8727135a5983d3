#pragma once

#include "exchange/Dorrimet/Coordinate.h"
#include "platform/core/CString.h"
#include "veltrane/model/PointKinds.h"

#include <functional>

// The question an import asks when a point of the same name already holds a coordinate of the
// kind being read: what the dialog shows.
struct CrdRewriteQuestion {
    CString name;
    Coordinate read;
    Coordinate stored;
    CoordinateKind kind = CrdKindTokyo;
    ITRFCoordKind storedITRFKind = ITRFKindNone;

    // A coordinate as the dialog shows it: "X:%11.3lf  Y:%11.3lf  H:%11.3lf", or "H: ----"
    // without a height.
    static CString CoordText(const Coordinate &c);
};

// The four answers, with the dialog's end codes.
enum CrdRewriteAnswer : int {
    CrdRewriteYes = 0,    // overwrite this point
    CrdRewriteAll = 1,    // overwrite this one and every later one without asking
    CrdRewriteNo = 2,     // skip this point
    CrdRewriteCancel = 3, // stop the import; nothing is stored
};

// Asks the user; the program installs its dialog here.
using CrdRewriteHandler = std::function<CrdRewriteAnswer(const CrdRewriteQuestion &)>;

// Installs the process-wide handler and returns the previous one; an empty handler uninstalls.
CrdRewriteHandler SetCrdRewriteHandler(CrdRewriteHandler handler);

// Asks through the installed handler. Without one the answer is CrdRewriteCancel, so that no
// stored coordinate is overwritten unseen, and the question goes to standard error as one UTF-8
// line.
CrdRewriteAnswer AskCrdRewrite(const CrdRewriteQuestion &question);
