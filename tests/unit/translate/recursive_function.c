void vrel__main() {
int vrel__fact(int vrel__n) {
if (vrel__n <= 1 ) {
return 1 ;
}
return vrel__n * vrel__fact(vrel__n - 1 ) ;

}
vrel__writeInteger(vrel__fact(5 ) );

}
int main() {
	vrel__main();
}


