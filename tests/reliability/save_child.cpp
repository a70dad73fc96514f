// A helper process for the saving fault tests.
//
//   zrv_save_child loop <file> <listA> <listB>
//       Loads the two lists from their files, writes "ready\n" to stdout, then saves A, B, A,
//       B ... to <file> until it is killed.
//   zrv_save_child once <file>
//       Loads <file> as the program does, prints the load result (read, missing, unreadable),
//       changes the Dot speed to 555 and saves; prints "saved", or the error and the system's
//       reason ("Cannot create file zrv.opt: Permission denied").
#include "core/Exceptions.h"
#include "core/SettingsList.h"

#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "loop") == 0) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        SettingsList lists[2];
        if (lists[0].load(QString::fromLocal8Bit(argv[3])) != SettingsList::LoadResult::Read ||
            lists[1].load(QString::fromLocal8Bit(argv[4])) != SettingsList::LoadResult::Read)
            return 2;
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        for (unsigned i = 0;; ++i) {
            try {
                lists[i % 2].save(file);
            } catch (const Exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return 3;
            }
        }
    }
    if (argc == 3 && std::strcmp(argv[1], "once") == 0) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        SettingsList list;
        const char* names[] = {"read", "missing", "unreadable"};
        std::printf("%s\n", names[int(list.load(file))]);
        list.put(8, "555");
        try {
            list.save(file);
            std::printf("saved\n");
        } catch (const Exception& e) {
            std::printf("%s: %s\n", e.what(), list.lastError().toLocal8Bit().constData());
        }
        return 0;
    }
    std::fprintf(stderr, "usage: zrv_save_child loop <file> <listA> <listB> | once <file>\n");
    return 1;
}
