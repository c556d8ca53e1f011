// The relay channel shared by the browser add-in and the relay program: the
// wire records, the pipe ends, the handshake events and the named locks.
#pragma once

#include "CIERelayClient.h"
#include "CIERelayEvent.h"
#include "CIERelayServer.h"
#include "EventWait.h"
#include "IERelay_Common.h"
#include "RelayLock.h"
#include "RelayRecords.h"
