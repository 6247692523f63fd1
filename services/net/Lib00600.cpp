#include "services/net/Lib00600.h"

#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/TNetConnection.h"

Variant Verifica_Fase_Operador(TNetConnection& connection, const std::string& text) {
    const Variant payload =
        CheckResultServ(connection.AppServer("VerificaFaseOperador", {Operador(), text}), true, 0);
    if (payload.type() != VarType::Packet)
        MensErro("Resposta inválida do servidor de aplicação para VerificaFaseOperador: era "
                 "esperado um pacote de dados.");
    return payload;
}
