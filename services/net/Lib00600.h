#pragma once

#include "services/data/Variant.h"

#include <string>

class TNetConnection;

// Asks the operational-management module (on `connection`) for the logged-in operator's budget
// phase in year `text`: a packet with the fields CDOPERADOR, CDGRUPGERENTEOP, IDFASECALCORCA,
// IDFASEAPROVORCA, NMFASEORCOPERAC and IDPERMCALCJAN .. IDPERMCALCDEZ, empty when the operator
// has no phase for the year. A failed call shows its message and ends the operation.
Variant Verifica_Fase_Operador(TNetConnection& connection, const std::string& text);
