@echo off
rem Group Policy computer startup script: patches this computer's rate tables
rem with telo-cli.exe (as SYSTEM, every fixed drive) and leaves the JSON result
rem in the results folder as <computer>.json. Exits with telo-cli's exit code.
rem TELO_RESULTS (the results folder, no trailing backslash) and TELO_CLI (the
rem program) are taken from the environment when set, else the defaults below.
setlocal
if not defined TELO_RESULTS set "TELO_RESULTS=\\server\telo-results$"
if not defined TELO_CLI set "TELO_CLI=%~dp0telo-cli.exe"

if not exist "%TELO_CLI%" goto missing
"%TELO_CLI%" --drive auto --yes --result-file "%TELO_RESULTS%\%COMPUTERNAME%.json"
exit /b %ERRORLEVEL%

:missing
echo telo: "%TELO_CLI%" is missing: put telo-cli.exe beside this script or set TELO_CLI. 1>&2
exit /b 1
