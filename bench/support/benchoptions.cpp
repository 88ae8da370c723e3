#include "support/benchoptions.h"

namespace Bench {

Options parseArguments(const QStringList &args)
{
    Options o;
    o.withNaive = !args.contains(QStringLiteral("--no-naive"));
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--program"))
            o.program = args[++i];
        else if (args[i] == QLatin1String("--display"))
            o.display = args[++i];
        else if (args[i] == QLatin1String("--folder"))
            o.folder = args[++i];
        else if (args[i] == QLatin1String("--compare"))
            o.compared = args[++i];
        else if (args[i] == QLatin1String("--sizes")) {
            o.sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                o.sizes.push_back(s.toInt());
        }
    }
    return o;
}

} // namespace Bench
