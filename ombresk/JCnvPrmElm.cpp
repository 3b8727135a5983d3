#include "ombresk/JCnvPrmElm.h"

JCnvPrmElm::~JCnvPrmElm() = default;

JSemiDynPrmElm::~JSemiDynPrmElm() = default;
