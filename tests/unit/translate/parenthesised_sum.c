void vrel__main() {
int vrel__a;
int vrel__b;
int vrel__x;
vrel__x = (vrel__a + vrel__b )* vrel__a / 2 % vrel__b - 1 ;

}
int main() {
	vrel__main();
}


