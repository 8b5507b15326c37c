@echo off
rem Runs every test program of this pack on this desktop, each in a folder of
rem its own under results\ with its output in output.txt there, and ends with
rem one line: passed, failed, skipped. Arguments go to every program, for
rem example --gtest_filter=Startup.*  Exits 1 when a test failed.
rem A test that needs Wine (its logs, its tray stand-in, its sound capture)
rem skips on Windows and says why.
setlocal EnableExtensions EnableDelayedExpansion
set "pack=%~dp0"
set "args=%*"
set /a passed=0, failed=0, skipped=0
pushd "%pack%"
for %%p in (*_test.exe velmaris_e2e_*.exe) do call :run "%%~fp" "%%~np"
popd
echo run-tests: %passed% passed, %failed% failed, %skipped% skipped
if %failed% gtr 0 exit /b 1
exit /b 0

rem :run PROGRAM NAME  runs one program and adds up the counts of its summary.
:run
set "dir=%pack%results\%~2"
if exist "%dir%" rmdir /s /q "%dir%"
mkdir "%dir%"
pushd "%dir%"
"%~1" --velmaris="%pack%Velmaris.exe" %args% >output.txt 2>&1
set code=%errorlevel%
set /a p=0, f=0, s=0, summed=0
for /f "usebackq tokens=1-3 delims=[] " %%a in ("output.txt") do (
    if "%%a"=="PASSED" set /a p=%%b, summed=1
    if "%%c"=="test," if "%%a"=="FAILED" set /a f=%%b
    if "%%c"=="tests," if "%%a"=="FAILED" set /a f=%%b
    if "%%c"=="test," if "%%a"=="SKIPPED" set /a s=%%b
    if "%%c"=="tests," if "%%a"=="SKIPPED" set /a s=%%b
)
rem A program that ended without its summary, or with an error its tests did not count.
if %summed%==0 set /a f+=1
if not %code%==0 if %f%==0 set /a f=1
echo %~2: %p% passed, %f% failed, %s% skipped (exit code %code%)
if not %f%==0 type output.txt
set /a passed+=p, failed+=f, skipped+=s
popd
exit /b 0
