// The program's own texts, in Windows-1251 like everything it shows.
#pragma once

// "Загрузка данных TLE"
constexpr const char* WindowTitle = "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0 \xE4\xE0\xED\xED\xFB\xF5 TLE";
constexpr const char* MergedFileName = "mytle.txt";
// The merge is written here first and takes the merged file's place only when complete.
constexpr const char* MergedPartName = "mytle.txt.part";

// "Внимание ! ! !", and "Данные с " + the primary server + " недоступны"
constexpr const char* PrimaryServerDownTitle = "\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5 ! ! !";
constexpr const char* PrimaryServerDownBefore = "\xC4\xE0\xED\xED\xFB\xE5 \xF1 ";
constexpr const char* PrimaryServerDownAfter = " \xED\xE5\xE4\xEE\xF1\xF2\xF3\xEF\xED\xFB";

// "Информация" / "Не удалось сохранить файл ! !"
constexpr const char* SavingFailedTitle = "\xC8\xED\xF4\xEE\xF0\xEC\xE0\xF6\xE8\xFF";
constexpr const char* SavingFailedText =
    "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xF4\xE0\xE9\xEB ! !";

// "Файл  *mytle.txt* загружен" / "Файл  *satonline.txt* загружен"
constexpr const char* MergedFileStatus = "\xD4\xE0\xE9\xEB  *mytle.txt* \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED";
constexpr const char* SatelliteListStatus = "\xD4\xE0\xE9\xEB  *satonline.txt* \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED";

// "Файл  *mytle.txt* актуален" / "Файл  *satonline.txt* актуален": fetched by an earlier run
// less than two hours ago, so not asked for again.
constexpr const char* MergedFileCurrentStatus = "\xD4\xE0\xE9\xEB  *mytle.txt* \xE0\xEA\xF2\xF3\xE0\xEB\xE5\xED";
constexpr const char* SatelliteListCurrentStatus =
    "\xD4\xE0\xE9\xEB  *satonline.txt* \xE0\xEA\xF2\xF3\xE0\xEB\xE5\xED";
