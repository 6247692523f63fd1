#include "services/lib/Consiste.h"

#include "services/data/EAbort.h"
#include "services/lib/RemoteResult.h"

Variant CheckResultServ(const RemoteResult& answer, bool flag, int n) {
    std::string problem;
    if (!answer.ok) {
        problem = answer.error.empty() ? "O servidor de aplicação não concluiu a operação."
                                       : answer.error;
    } else if (n > 0 && (answer.result.type() != VarType::Array ||
                         answer.result.array().size() < static_cast<std::size_t>(n))) {
        problem = "Resposta incompleta do servidor de aplicação: eram esperados " +
                  std::to_string(n) + " conjuntos de dados.";
    }
    if (problem.empty()) return answer.result;
    if (flag) MensErro(problem, true);
    Abort();
}
