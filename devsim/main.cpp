// Placeholder until the simulator's fleet exists.
int main()
{
    return 0;
}
