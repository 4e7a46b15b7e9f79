// Carries prerelease_fixture.rc; never run.
int main()
{
    return 0;
}
