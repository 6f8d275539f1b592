void vrel__main() {
int vrel__i;
byte vrel__a[10];
vrel__a [vrel__i + 1 ] = 'c';

}
int main() {
	vrel__main();
}


