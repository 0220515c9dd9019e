// Core: the whole portable component model in one include.
#ifndef KYT_HOST_CORE_CORE_H
#define KYT_HOST_CORE_CORE_H

#include "host/core/CodePage.h"
#include "host/core/Collection.h"
#include "host/core/Component.h"
#include "host/core/Events.h"
#include "host/core/Exceptions.h"
#include "host/core/FormFile.h"
#include "host/core/Persistent.h"
#include "host/core/Sets.h"
#include "host/core/Strings.h"
#include "host/core/TypeInfo.h"

#endif
